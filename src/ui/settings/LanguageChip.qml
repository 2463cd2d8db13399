import QtQuick
import QtQuick.Controls
import Kavo

// A rounded chip button with an optional icon at its end.
AbstractButton {
    id: chip

    property string glyph: ""
    property bool selected: false

    implicitHeight: 30
    leftPadding: 12
    rightPadding: glyph ? 8 : 12
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: chip.clicked()

    contentItem: Row {
        spacing: 6

        KavoText {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.text
            weight: Font.Medium
            pixelSize: 13
            color: chip.selected ? Tokens.info : Tokens.textBody
        }

        KavoIcon {
            visible: chip.glyph !== ""
            anchors.verticalCenter: parent.verticalCenter
            name: chip.glyph || "x"
            size: 14
            color: chip.selected ? Tokens.info : Tokens.textSecondary
        }
    }

    background: Rectangle {
        radius: height / 2
        color: chip.selected ? Tokens.infoBg : chip.hovered ? Tokens.surfaceHover : Tokens.surfaceCard
        border.width: chip.visualFocus ? 2 : 1
        border.color: chip.visualFocus ? Tokens.borderFocus : chip.selected ? Tokens.infoBorder : Tokens.borderDefault
    }
}
