import QtQuick
import QtQuick.Controls
import Kavo

// One choice of the screen's segmented tab control, raised while its tab is shown.
AbstractButton {
    id: choice

    property bool current: false

    implicitHeight: 30
    leftPadding: 14
    rightPadding: 14
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.PageTab
    Accessible.name: text
    Accessible.selected: current
    Accessible.onPressAction: choice.clicked()

    contentItem: KavoText {
        text: choice.text
        weight: choice.current ? Font.DemiBold : Font.Medium
        color: choice.current ? Tokens.textPrimary : Tokens.textSecondary
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 7
        color: choice.current ? Tokens.surfaceCard : choice.hovered ? Tokens.surfaceHover : "transparent"
        border.width: choice.visualFocus ? 2 : choice.current ? 1 : 0
        border.color: choice.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
    }
}
