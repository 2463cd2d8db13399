import QtQuick
import QtQuick.Controls
import Kavo
import Kavo.Pill

// A round icon button inside the pill, with its tooltip shown after a moment's hover.
AbstractButton {
    id: button

    required property PillPanel panel
    required property string glyph
    property string tooltip
    property color tint: Tokens.textPrimary

    implicitWidth: 30
    implicitHeight: 30
    focusPolicy: Qt.NoFocus
    hoverEnabled: true
    Accessible.role: Accessible.Button
    Accessible.name: tooltip
    Accessible.onPressAction: button.clicked()

    onHoveredChanged: hovered ? hoverDelay.restart() : (hoverDelay.stop(), button.panel.hideToolTip())
    onPressed: {
        hoverDelay.stop();
        button.panel.hideToolTip();
    }

    Timer {
        id: hoverDelay

        interval: 600
        onTriggered: button.panel.showToolTip(button.tooltip)
    }

    background: Rectangle {
        radius: width / 2
        color: button.down ? Tokens.borderStrong : button.hovered ? Tokens.surfaceSunken : Tokens.surfaceSubtle
        border.width: 1
        border.color: Tokens.borderDefault
    }

    contentItem: Item {
        KavoIcon {
            anchors.centerIn: parent
            name: button.glyph
            color: button.tint
            size: 14
        }
    }
}
