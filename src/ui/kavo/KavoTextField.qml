import QtQuick
import QtQuick.Controls
import Kavo

// A one-line text field drawn with the design tokens, with an optional icon at its start. Screen readers read
// `Accessible.name`, the placeholder when it is not set.
TextField {
    id: field

    property string glyph: ""

    implicitHeight: 34
    leftPadding: glyph ? 32 : 10
    rightPadding: 10
    placeholderTextColor: Tokens.textTertiary
    color: Tokens.textPrimary
    selectionColor: Tokens.blue200
    selectedTextColor: Tokens.textPrimary
    font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)
    Accessible.name: placeholderText

    background: Rectangle {
        radius: 8
        color: Tokens.surfaceCard
        border.width: field.activeFocus ? 2 : 1
        border.color: field.activeFocus ? Tokens.borderFocus : Tokens.borderDefault

        KavoIcon {
            visible: field.glyph !== ""
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            name: field.glyph || "search"
            size: 16
            color: Tokens.textTertiary
        }
    }
}
