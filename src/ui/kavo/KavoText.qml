import QtQuick
import Kavo

// Text in the Onest face of its weight, coloured by the design tokens.
Text {
    property int weight: Font.Normal
    property int pixelSize: Tokens.bodyPixelSize

    color: Tokens.textPrimary
    font: Tokens.font(weight, pixelSize)
}
