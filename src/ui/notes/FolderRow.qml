import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// One row of the folder list: the folder's name and note count, its inline rename field and its context menu.
AbstractButton {
    id: row

    required property NotesView view
    required property int index
    required property var folderId
    required property string name
    required property int count
    required property bool selected
    required property bool renaming
    // The list has the keyboard focus: the selected row shows it.
    property bool listFocused: false

    function openMenu() {
        if (row.folderId !== null && row.folderId !== undefined)
            menu.popup(row, 8, row.height)
    }

    implicitHeight: 34
    leftPadding: 10
    rightPadding: 10
    focusPolicy: Qt.NoFocus
    Accessible.role: Accessible.ListItem
    Accessible.name: row.name
    Accessible.description: row.count
    Accessible.selected: row.selected
    Accessible.onPressAction: row.clicked()
    onClicked: row.view.selectFolder(row.folderId)

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: {
            row.view.selectFolder(row.folderId)
            row.openMenu()
        }
    }

    contentItem: RowLayout {
        spacing: 8

        KavoIcon {
            name: row.index === 0 ? "layers" : "folder"
            size: 16
            color: row.selected ? Tokens.brand : Tokens.textSecondary
        }

        KavoText {
            visible: !row.renaming
            text: row.name
            weight: row.selected ? Font.DemiBold : Font.Normal
            color: row.selected ? Tokens.textPrimary : Tokens.textBody
            elide: Text.ElideRight
            Layout.fillWidth: true
        }

        KavoTextField {
            objectName: "renameField"
            visible: row.renaming
            implicitHeight: 28
            Layout.fillWidth: true
            Accessible.name: qsTr("Rename")
            onVisibleChanged: {
                if (!visible)
                    return
                text = row.name
                selectAll()
                forceActiveFocus()
            }
            // The row takes the focus back when renaming ends; the name is kept on Enter or when the focus leaves.
            onAccepted: {
                row.view.renameFolder(row.folderId, text)
                row.forceActiveFocus()
            }
            onActiveFocusChanged: {
                if (!activeFocus && visible)
                    row.view.renameFolder(row.folderId, text)
            }
            Keys.onEscapePressed: {
                row.view.cancelRename()
                row.forceActiveFocus()
            }
        }

        KavoText {
            visible: !row.renaming
            text: row.count
            pixelSize: 12
            color: Tokens.textSecondary
        }
    }

    background: Rectangle {
        radius: 8
        color: row.selected ? Tokens.surfaceBrandSoft : row.hovered ? Tokens.surfaceHover : Tokens.surfaceSubtle
        border.width: row.selected && row.listFocused && !row.renaming ? 2 : 0
        border.color: Tokens.borderFocus
    }

    Menu {
        id: menu

        // The chosen action runs once the menu has closed and handed the focus back, so that the rename field or
        // the confirmation keeps the focus it takes.
        property string chosen: ""

        onClosed: {
            if (menu.chosen === "rename")
                row.view.startRename(row.folderId)
            else if (menu.chosen === "delete")
                row.view.askDeleteFolder(row.folderId)
            menu.chosen = ""
        }

        background: Rectangle {
            implicitWidth: 160
            radius: 8
            color: Tokens.surfaceCard
            border.color: Tokens.borderDefault
        }

        MenuEntry {
            objectName: "renameFolder"
            text: qsTr("Rename")
            onTriggered: menu.chosen = "rename"
        }

        MenuEntry {
            objectName: "deleteFolder"
            text: qsTr("Delete")
            danger: true
            onTriggered: menu.chosen = "delete"
        }
    }

    component MenuEntry: MenuItem {
        id: entry

        property bool danger: false

        implicitHeight: 32
        Accessible.name: text

        contentItem: KavoText {
            text: entry.text
            color: entry.danger ? Tokens.negative : Tokens.textPrimary
            verticalAlignment: Text.AlignVCenter
        }

        background: Rectangle {
            radius: 6
            color: entry.highlighted ? Tokens.surfaceHover : Tokens.surfaceCard
        }
    }
}
