import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// The selected note: its folder, the dictation and delete buttons, the title and the body.
Item {
    id: editor

    required property NotesView view

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            KavoIcon {
                name: "folder"
                size: 16
                color: Tokens.textSecondary
            }

            KavoText {
                text: editor.view.noteFolderName
                pixelSize: 13
                color: Tokens.textSecondary
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoButton {
                objectName: "dictate"
                primary: !editor.view.dictating
                text: editor.view.dictationButton
                onClicked: editor.view.toggleDictation()
            }

            Button {
                id: deleteButton

                objectName: "deleteNote"
                implicitWidth: 34
                implicitHeight: 34
                focusPolicy: Qt.StrongFocus
                Accessible.name: qsTr("Delete note")
                Accessible.onPressAction: deleteButton.clicked()
                ToolTip.visible: hovered
                ToolTip.text: Accessible.name
                onClicked: editor.view.deleteNote()

                contentItem: Item {
                    KavoIcon {
                        anchors.centerIn: parent
                        name: "trash-2"
                        size: 16
                        color: deleteButton.hovered ? Tokens.negative : Tokens.textSecondary
                    }
                }

                background: Rectangle {
                    radius: 8
                    color: deleteButton.down || deleteButton.hovered ? Tokens.surfaceHover : Tokens.surfaceCard
                    border.width: deleteButton.visualFocus ? 2 : 1
                    border.color: deleteButton.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
                }
            }
        }

        TextField {
            id: title

            objectName: "noteTitle"
            Layout.fillWidth: true
            leftPadding: 0
            rightPadding: 0
            placeholderText: qsTr("Title")
            placeholderTextColor: Tokens.textTertiary
            color: Tokens.textPrimary
            selectionColor: Tokens.blue200
            selectedTextColor: Tokens.textPrimary
            font: Tokens.font(Font.Bold, 20)
            text: editor.view.noteTitle
            Accessible.name: placeholderText
            background: null
            onTextEdited: editor.view.editTitle(text)
            Keys.onReturnPressed: body.forceActiveFocus()
            Keys.onEnterPressed: body.forceActiveFocus()
        }

        ScrollView {
            Layout.fillWidth: true
            Layout.fillHeight: true

            TextArea {
                id: body

                objectName: "noteBody"
                leftPadding: 0
                rightPadding: 0
                wrapMode: TextEdit.Wrap
                placeholderText: qsTr("Write, or press the dictation button and speak…")
                placeholderTextColor: Tokens.textTertiary
                color: Tokens.textBody
                selectionColor: Tokens.blue200
                selectedTextColor: Tokens.textPrimary
                font: Tokens.font(Font.Normal, 15)
                Accessible.name: placeholderText
                background: null
                onTextChanged: editor.view.editBody(text)
                // Tab moves on rather than typing a tab, so the keyboard can leave the body.
                Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                Component.onCompleted: text = editor.view.noteBody
            }
        }
    }

    Connections {
        target: editor.view

        function onBodyReplaced(keepCursor) {
            const cursor = body.cursorPosition
            body.text = editor.view.noteBody
            body.cursorPosition = keepCursor ? Math.min(cursor, body.length) : 0
        }

        function onTitleFocusRequested() {
            title.forceActiveFocus()
        }
    }
}
