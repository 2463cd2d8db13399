import QtQuick
import QtQuick.Controls
import Kavo

// A push button drawn with the design tokens: filled in the brand colour when `primary`, outlined otherwise.
Button {
    id: button

    property bool primary: false

    implicitHeight: 34
    leftPadding: 14
    rightPadding: 14
    focusPolicy: Qt.StrongFocus
    Accessible.onPressAction: button.clicked()
    Accessible.name: text

    contentItem: KavoText {
        text: button.text
        weight: Font.DemiBold
        color: button.primary ? Tokens.textOnBrand : Tokens.textPrimary
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        radius: 8
        color: button.primary ? (button.down ? Tokens.brandPress : button.hovered ? Tokens.brandHover : Tokens.brand)
                              : (button.down || button.hovered ? Tokens.surfaceHover : Tokens.surfaceCard)
        border.width: button.visualFocus ? 2 : (button.primary ? 0 : 1)
        border.color: button.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
    }
}
