import QtQuick
import QtQuick.Layouts
import Kavo

// The small label over a group of settings.
KavoText {
    Layout.fillWidth: true
    Layout.topMargin: 8
    weight: Font.DemiBold
    pixelSize: 12
    color: Tokens.textSecondary
}
