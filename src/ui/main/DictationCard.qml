import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Main

// The sidebar's dictation card: the state of dictation, how to dictate, and a button to try it.
Rectangle {
    id: card

    required property MainView view

    implicitHeight: column.implicitHeight + 28
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 14
        spacing: 6

        RowLayout {
            spacing: 8

            KavoText {
                text: qsTr("Dictation")
                weight: Font.DemiBold
                Layout.fillWidth: true
            }

            Rectangle {
                implicitWidth: 8
                implicitHeight: 8
                radius: 4
                color: card.view.recording ? Tokens.red500 : card.view.failed ? Tokens.warning : Tokens.green500
            }

            KavoText {
                text: card.view.dictationStatus
                pixelSize: 12
                color: Tokens.textSecondary
            }
        }

        KavoText {
            text: card.view.dictationHint
            pixelSize: 12
            color: Tokens.textSecondary
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        KavoButton {
            primary: true
            text: card.view.dictationButton
            Layout.fillWidth: true
            Layout.topMargin: 4
            onClicked: card.view.dictationToggled()
        }
    }
}
