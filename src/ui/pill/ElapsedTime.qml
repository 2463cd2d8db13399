pragma ComponentBehavior: Bound

import QtQuick
import Kavo

// Minutes and seconds with every digit in a cell of the same width, so the time does not jiggle as it counts.
Row {
    id: elapsed

    required property string text

    Accessible.role: Accessible.StaticText
    Accessible.name: text

    TextMetrics {
        id: digit

        font: Tokens.font(Font.Medium, 12)
        text: "0"
    }

    Item {
        width: Math.max(0, 36 - characters.implicitWidth)
        height: 1
    }

    Row {
        id: characters

        Repeater {
            model: elapsed.text.split("")

            KavoText {
                required property string modelData

                width: /[0-9]/.test(modelData) ? Math.ceil(digit.advanceWidth) : implicitWidth
                horizontalAlignment: Text.AlignHCenter
                text: modelData
                weight: Font.Medium
                pixelSize: 12
                color: Tokens.textSecondary
                Accessible.ignored: true
            }
        }
    }
}
