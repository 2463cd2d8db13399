import QtQuick
import QtQuick.Controls
import Kavo

// A small borderless button showing only an icon; `Accessible.name` says what it does.
AbstractButton {
    id: button

    required property string glyph

    implicitWidth: 26
    implicitHeight: 26
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.onPressAction: button.clicked()

    contentItem: Item {
        KavoIcon {
            anchors.centerIn: parent
            name: button.glyph
            size: 14
            color: button.hovered || button.visualFocus ? Tokens.negative : Tokens.textSecondary
        }
    }

    background: Rectangle {
        radius: 6
        color: button.hovered || button.down ? Tokens.surfaceHover : "transparent"
        border.width: button.visualFocus ? 2 : 0
        border.color: Tokens.borderFocus
    }
}
