import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Notes

// One row of the note list: the title, the first line of the body and when the note last changed.
AbstractButton {
    id: row

    required property NotesView view
    required property string noteId
    required property string title
    required property string snippet
    required property string time
    required property bool selected
    // The list has the keyboard focus: the selected row shows it.
    property bool listFocused: false

    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    topPadding: 10
    bottomPadding: 10
    leftPadding: 12
    rightPadding: 12
    focusPolicy: Qt.NoFocus
    Accessible.role: Accessible.ListItem
    Accessible.name: row.title
    Accessible.description: row.snippet
    Accessible.selected: row.selected
    Accessible.onPressAction: row.clicked()
    onClicked: row.view.selectNote(row.noteId)

    contentItem: ColumnLayout {
        spacing: 4

        RowLayout {
            spacing: 8
            Layout.fillWidth: true

            KavoText {
                text: row.title
                weight: Font.DemiBold
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoText {
                text: row.time
                pixelSize: 12
                color: Tokens.textTertiary
            }
        }

        KavoText {
            text: row.snippet
            pixelSize: 13
            color: Tokens.textSecondary
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }

    background: Rectangle {
        radius: 8
        color: row.selected ? Tokens.surfaceBrandSoft : row.hovered ? Tokens.surfaceHover : Tokens.surfaceCard
        border.width: row.selected && row.listFocused ? 2 : 0
        border.color: Tokens.borderFocus
    }
}
