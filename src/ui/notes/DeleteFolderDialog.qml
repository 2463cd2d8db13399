import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// Asks before a folder is deleted together with its notes. Escape or a click outside cancels.
Popup {
    id: dialog

    required property NotesView view

    anchors.centerIn: parent
    width: 340
    modal: true
    focus: true
    padding: 20
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    onClosed: dialog.view.cancelDelete()
    onOpened: cancelButton.forceActiveFocus()

    Overlay.modal: Rectangle {
        color: Tokens.surfaceOverlay
    }

    background: Rectangle {
        radius: 12
        color: Tokens.surfaceCard
        border.color: Tokens.borderDefault
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        KavoText {
            text: dialog.view.deleteQuestion
            weight: Font.DemiBold
            pixelSize: 16
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        KavoText {
            text: dialog.view.deleteDetail
            color: Tokens.textSecondary
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        RowLayout {
            Layout.topMargin: 12
            Layout.alignment: Qt.AlignRight
            spacing: 8

            KavoButton {
                id: cancelButton

                objectName: "cancelDelete"
                text: qsTr("Cancel")
                onClicked: dialog.close()
            }

            KavoButton {
                objectName: "confirmDelete"
                primary: true
                text: qsTr("Delete")
                onClicked: dialog.view.confirmDelete()
            }
        }
    }

    Connections {
        target: dialog.view

        function onDeleteRequestChanged() {
            if (dialog.view.confirmingDelete)
                dialog.open()
            else
                dialog.close()
        }
    }
}
