import QtQuick
import Kavo

// A compact button for the actions on one entry, so that they share the card's first line.
KavoButton {
    implicitHeight: 28
    leftPadding: 10
    rightPadding: 10
}
