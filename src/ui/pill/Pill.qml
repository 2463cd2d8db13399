pragma ComponentBehavior: Bound

import QtQuick
import Kavo
import Kavo.Pill

// The floating pill: what the dictation is doing, a click to start or stop it, Stop and Cancel while listening. The
// window around it leaves room for its shadow, which only a compositor can blend, and which clicks pass through.
Window {
    id: window

    required property PillView view
    required property PillPanel panel

    readonly property bool listening: view.kind === 1
    // Without a compositor the window is cut to the pill's shape, so its width changes at once.
    readonly property bool animated: view.animated && panel.composited

    title: qsTr("Kavo Voice button")
    color: "transparent"

    // A soft shadow: rings that grow fainter outward, a little below the pill.
    Repeater {
        model: window.panel.composited ? 16 : 0

        Rectangle {
            required property int index

            readonly property real spread: index + 1

            x: pill.x - spread
            y: pill.y + 6 - spread
            width: pill.width + 2 * spread
            height: pill.height + 2 * spread
            radius: height / 2
            color: Tokens.shadow
            opacity: 0.04 * Math.pow(1 - index / 16, 2)
        }
    }

    Rectangle {
        id: pill

        anchors.horizontalCenter: parent.horizontalCenter
        y: window.panel.shadowTop
        width: content.implicitWidth
        height: 52
        radius: height / 2
        color: Tokens.surfaceCard
        border.width: 1
        border.color: Tokens.borderDefault
        antialiasing: window.panel.composited
        clip: true

        Behavior on width {
            enabled: window.animated

            NumberAnimation {
                duration: 200
                easing.type: Easing.OutCubic
            }
        }

        MouseArea {
            id: surface

            anchors.fill: parent
            hoverEnabled: true
            Accessible.role: Accessible.Button
            Accessible.name: window.view.tooltip || window.view.label || qsTr("Start dictation")
            Accessible.onPressAction: window.view.toggle()

            onPressed: {
                hoverDelay.stop();
                window.panel.press();
            }
            onPositionChanged: {
                if (pressed)
                    window.panel.move();
            }
            onReleased: window.panel.release(containsMouse)
            onContainsMouseChanged: containsMouse ? hoverDelay.restart() : (hoverDelay.stop(), window.panel.hideToolTip())

            Timer {
                id: hoverDelay

                interval: 600
                onTriggered: window.panel.showToolTip(window.view.tooltip)
            }
        }

        Row {
            id: content

            anchors.centerIn: parent
            // The idle pill is a circle; the others fit their contents.
            leftPadding: window.view.kind === 0 ? 0 : 18
            rightPadding: window.view.kind === 0 ? 0 : window.listening ? 11 : 20
            spacing: 10
            onImplicitWidthChanged: window.panel.setPillWidth(Math.max(52, implicitWidth))
            Component.onCompleted: window.panel.setPillWidth(Math.max(52, implicitWidth))

            Item {
                visible: !window.listening
                width: window.view.kind === 0 ? 52 : glyph.width
                height: 52

                KavoIcon {
                    id: glyph

                    anchors.centerIn: parent
                    name: window.view.glyph || "mic"
                    size: window.view.kind === 0 ? 22 : 18
                    color: window.view.kind === 3 ? Tokens.positive : window.view.kind === 4 ? Tokens.warning
                                                                                             : window.view.kind === 2 ? Tokens.purple600 : Tokens.textPrimary
                }
            }

            KavoText {
                visible: window.view.kind > 1
                anchors.verticalCenter: parent.verticalCenter
                text: window.view.label
                weight: Font.DemiBold
                pixelSize: 13
            }

            Rectangle {
                visible: window.listening
                anchors.verticalCenter: parent.verticalCenter
                width: 10
                height: 10
                radius: 5
                color: Tokens.red500
                opacity: window.view.pulse
            }

            KavoText {
                visible: window.listening
                anchors.verticalCenter: parent.verticalCenter
                text: window.view.label
                weight: Font.DemiBold
                pixelSize: 13
            }

            LevelWave {
                visible: window.listening
                anchors.verticalCenter: parent.verticalCenter
                bars: window.view.bars
                animated: window.view.animated
            }

            ElapsedTime {
                visible: window.listening
                anchors.verticalCenter: parent.verticalCenter
                text: window.view.elapsed
            }

            Row {
                visible: window.listening
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6

                PillButton {
                    objectName: "cancel"
                    panel: window.panel
                    glyph: "x"
                    tooltip: qsTr("Cancel (Esc)")
                    onClicked: window.view.cancel()
                }

                PillButton {
                    objectName: "stop"
                    panel: window.panel
                    glyph: "square"
                    tooltip: qsTr("Stop")
                    tint: Tokens.red500
                    onClicked: window.view.submit()
                }
            }
        }
    }
}
