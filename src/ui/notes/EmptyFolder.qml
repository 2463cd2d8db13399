import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// What the editor's place shows while the folder has no notes.
ColumnLayout {
    id: empty

    required property NotesView view

    spacing: 8

    Rectangle {
        Layout.alignment: Qt.AlignHCenter
        Layout.bottomMargin: 4
        implicitWidth: 48
        implicitHeight: 48
        radius: 24
        color: Tokens.surfaceBrandSoft

        KavoIcon {
            anchors.centerIn: parent
            name: "notebook"
            size: 22
            color: Tokens.brand
        }
    }

    KavoText {
        text: qsTr("No notes in this folder yet.")
        weight: Font.DemiBold
        pixelSize: 15
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    KavoText {
        text: qsTr("Create the first note, or say it with dictation.")
        color: Tokens.textSecondary
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    KavoButton {
        objectName: "createNote"
        primary: true
        text: qsTr("Create note")
        Layout.alignment: Qt.AlignHCenter
        Layout.topMargin: 8
        onClicked: empty.view.newNote()
    }
}
