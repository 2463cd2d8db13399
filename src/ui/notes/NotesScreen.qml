pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// The Notes screen: the folders, the notes of the chosen folder and the editor of the chosen note. Fills its parent.
// Required: `view`, the screen's state and actions.
Item {
    id: screen

    required property NotesView view

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        KavoText {
            text: qsTr("Notes")
            weight: Font.Bold
            pixelSize: 24
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Tokens.surfaceCard
            border.color: Tokens.borderDefault

            RowLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                Rectangle {
                    Layout.preferredWidth: 184
                    Layout.fillHeight: true
                    radius: 11
                    color: Tokens.surfaceSubtle

                    // Squares the side that meets the separator.
                    Rectangle {
                        anchors.right: parent.right
                        width: parent.radius
                        height: parent.height
                        color: parent.color
                    }

                    ColumnLayout {
                        anchors.fill: parent
                        anchors.margins: 12
                        spacing: 8

                        ColumnHeading {
                            text: qsTr("Folders")
                        }

                        ListView {
                            id: folderList

                            Layout.fillWidth: true
                            Layout.fillHeight: true
                            clip: true
                            spacing: 2
                            model: screen.view.folders
                            activeFocusOnTab: true
                            keyNavigationEnabled: false
                            boundsBehavior: Flickable.StopAtBounds
                            Accessible.role: Accessible.List
                            Accessible.name: qsTr("Folders")
                            Keys.onUpPressed: screen.view.selectAdjacentFolder(-1)
                            Keys.onDownPressed: screen.view.selectAdjacentFolder(1)
                            Keys.onPressed: event => {
                                const menuKey = event.key === Qt.Key_Menu
                                    || (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier))
                                if (menuKey && folderList.currentItem) {
                                    folderList.currentItem.openMenu()
                                    event.accepted = true
                                }
                            }
                            currentIndex: screen.view.folders.selectedRow

                            delegate: FolderRow {
                                view: screen.view
                                listFocused: folderList.activeFocus
                                width: ListView.view.width
                            }
                        }

                        KavoButton {
                            objectName: "addFolder"
                            text: qsTr("Add folder")
                            Layout.fillWidth: true
                            onClicked: screen.view.addFolder()
                        }
                    }
                }

                Separator {}

                ColumnLayout {
                    Layout.preferredWidth: 248
                    Layout.fillWidth: false
                    Layout.fillHeight: true
                    Layout.margins: 12
                    spacing: 8

                    RowLayout {
                        Layout.fillWidth: true

                        ColumnHeading {
                            text: qsTr("Notes")
                            Layout.fillWidth: true
                        }

                        KavoButton {
                            objectName: "newNote"
                            primary: true
                            implicitHeight: 30
                            text: qsTr("New note")
                            onClicked: screen.view.newNote()
                        }
                    }

                    KavoTextField {
                        Layout.fillWidth: true
                        glyph: "search"
                        placeholderText: qsTr("Search notes")
                        text: screen.view.search
                        onTextEdited: screen.view.search = text
                    }

                    ListView {
                        id: noteList

                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        clip: true
                        spacing: 2
                        reuseItems: true
                        model: screen.view.notes
                        activeFocusOnTab: true
                        keyNavigationEnabled: false
                        boundsBehavior: Flickable.StopAtBounds
                        Accessible.role: Accessible.List
                        Accessible.name: qsTr("Notes")
                        Keys.onUpPressed: screen.view.selectAdjacentNote(-1)
                        Keys.onDownPressed: screen.view.selectAdjacentNote(1)
                        currentIndex: screen.view.notes.selectedRow
                        ScrollBar.vertical: ScrollBar {}

                        delegate: NoteRow {
                            view: screen.view
                            listFocused: noteList.activeFocus
                            width: ListView.view.width
                        }

                        Connections {
                            target: screen.view.notes
                            function onSelectedRowChanged() {
                                if (screen.view.notes.selectedRow >= 0)
                                    noteList.positionViewAtIndex(screen.view.notes.selectedRow, ListView.Contain)
                            }
                        }
                    }
                }

                Separator {}

                Item {
                    Layout.fillWidth: true
                    Layout.fillHeight: true

                    NoteEditor {
                        anchors.fill: parent
                        visible: screen.view.hasNote && !screen.view.folderEmpty
                        view: screen.view
                    }

                    EmptyFolder {
                        anchors.centerIn: parent
                        width: parent.width - 48
                        visible: screen.view.folderEmpty
                        view: screen.view
                    }
                }
            }
        }
    }

    DeleteFolderDialog {
        view: screen.view
    }

    component ColumnHeading: KavoText {
        Layout.preferredHeight: 30
        verticalAlignment: Text.AlignVCenter
        weight: Font.DemiBold
        pixelSize: 12
        color: Tokens.textSecondary
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }

    component Separator: Rectangle {
        Layout.preferredWidth: 1
        Layout.fillHeight: true
        color: Tokens.borderDefault
    }
}
