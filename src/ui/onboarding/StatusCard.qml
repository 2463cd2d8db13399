import QtQuick
import QtQuick.Layouts
import Kavo

// One access the application needs, as the view words it: its status, what gives it, and an action when one helps.
Rectangle {
    id: card

    required property string icon
    required property string title
    required property string status
    required property bool granted
    required property string help
    property string command: ""
    property string waitingText: ""
    property string actionText: ""

    signal actionClicked()

    implicitHeight: content.implicitHeight + 28
    radius: 12
    color: Tokens.surfaceCard
    border.color: card.granted ? Tokens.positiveBorder : Tokens.warningBorder

    ColumnLayout {
        id: content

        anchors.fill: parent
        anchors.margins: 14
        spacing: 10

        RowLayout {
            spacing: 10

            KavoIcon {
                name: card.icon
                size: 20
                color: card.granted ? Tokens.positive : Tokens.warning
            }

            KavoText {
                text: card.title
                weight: Font.DemiBold
                Layout.fillWidth: true
            }

            KavoText {
                objectName: "status"
                text: card.status
                weight: Font.Medium
                color: card.granted ? Tokens.positive : Tokens.warning
                Accessible.role: Accessible.StaticText
                Accessible.name: card.title + ": " + text
            }
        }

        KavoText {
            visible: card.help !== ""
            text: card.help
            color: Tokens.textSecondary
            pixelSize: 13
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        RowLayout {
            visible: card.command !== "" || card.actionText !== ""
            spacing: 8

            Rectangle {
                visible: card.command !== ""
                radius: 6
                color: Tokens.surfaceSunken
                implicitWidth: commandText.implicitWidth + 16
                implicitHeight: 30

                KavoText {
                    id: commandText
                    anchors.centerIn: parent
                    text: card.command
                    font: Tokens.monospace(13)
                }
            }

            KavoButton {
                visible: card.actionText !== ""
                text: card.actionText
                onClicked: card.actionClicked()
            }
        }

        KavoText {
            visible: card.waitingText !== ""
            text: card.waitingText
            color: Tokens.textSecondary
            pixelSize: 13
        }
    }
}
