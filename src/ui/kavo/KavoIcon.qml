import QtQuick
import Kavo

// A Lucide line icon drawn in one colour, sharp at the screen's pixel ratio. Decorative: the control that shows it
// carries the accessible name.
Image {
    id: icon

    required property string name
    property color color: Tokens.textBody
    property int size: 20

    width: size
    height: size
    sourceSize.width: size
    sourceSize.height: size
    source: "image://icon/" + name + "?color=" + color
    fillMode: Image.PreserveAspectFit
    Accessible.ignored: true
}
