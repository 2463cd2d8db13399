import QtQuick
import Kavo

// A key drawn as a keycap; shows a key, does nothing.
Rectangle {
    property alias text: label.text

    implicitWidth: Math.max(label.implicitWidth + 16, 28)
    implicitHeight: 28
    radius: 6
    color: Tokens.surfaceSubtle
    border.color: Tokens.borderStrong
    Accessible.role: Accessible.StaticText
    Accessible.name: text

    KavoText {
        id: label

        anchors.centerIn: parent
        weight: Font.DemiBold
        pixelSize: 12
        color: Tokens.textBody
    }
}
