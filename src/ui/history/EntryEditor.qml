import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo

// The inline editor of an entry's text, made when editing begins with the entry's text and the keyboard focus.
ColumnLayout {
    id: entryEditor

    required property string original

    signal saved(string text)
    signal cancelled

    spacing: 8
    Component.onCompleted: {
        editor.text = original;
        editor.cursorPosition = editor.length;
        editor.forceActiveFocus();
    }

    TextArea {
        id: editor

        objectName: "editor"
        wrapMode: TextEdit.Wrap
        padding: 8
        color: Tokens.textPrimary
        selectionColor: Tokens.blue200
        selectedTextColor: Tokens.textPrimary
        font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)
        Accessible.name: qsTr("Edit")
        Layout.fillWidth: true
        Keys.onEscapePressed: entryEditor.cancelled()

        background: Rectangle {
            radius: 8
            color: Tokens.surfaceCard
            border.width: editor.activeFocus ? 2 : 1
            border.color: editor.activeFocus ? Tokens.borderFocus : Tokens.borderDefault
        }
    }

    RowLayout {
        spacing: 8

        KavoButton {
            objectName: "save"
            primary: true
            text: qsTr("Save")
            onClicked: entryEditor.saved(editor.text)
        }

        KavoButton {
            text: qsTr("Cancel")
            onClicked: entryEditor.cancelled()
        }
    }
}
