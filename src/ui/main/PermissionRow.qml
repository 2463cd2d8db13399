import QtQuick
import QtQuick.Layouts
import Kavo

// One access the application needs: whether it is there and, when it is not, what to do.
Rectangle {
    id: row

    required property string icon
    required property string title
    required property bool granted
    required property string help
    required property string actionText
    property string command: ""
    property bool actionAvailable: true

    signal actionClicked()

    implicitHeight: content.implicitHeight + 28
    radius: 12
    color: Tokens.surfaceCard
    border.color: row.granted ? Tokens.positiveBorder : Tokens.warningBorder

    ColumnLayout {
        id: content

        anchors.fill: parent
        anchors.margins: 14
        spacing: 8

        RowLayout {
            spacing: 10

            KavoIcon {
                name: row.icon
                size: 20
                color: row.granted ? Tokens.positive : Tokens.warning
            }

            KavoText {
                text: row.title
                weight: Font.DemiBold
                Layout.fillWidth: true
            }

            KavoText {
                text: row.granted ? qsTr("Allowed") : qsTr("Not allowed")
                color: row.granted ? Tokens.positive : Tokens.warning
                Accessible.name: row.title + ": " + text
            }
        }

        KavoText {
            visible: !row.granted
            text: row.help
            color: Tokens.textSecondary
            pixelSize: 13
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        RowLayout {
            visible: !row.granted && row.actionAvailable
            spacing: 8

            Rectangle {
                visible: row.command !== ""
                radius: 6
                color: Tokens.surfaceSunken
                implicitWidth: commandText.implicitWidth + 16
                implicitHeight: 30

                KavoText {
                    id: commandText
                    anchors.centerIn: parent
                    text: row.command
                    font: Tokens.monospace(13)
                }
            }

            KavoButton {
                text: row.actionText
                onClicked: row.actionClicked()
            }
        }
    }
}
