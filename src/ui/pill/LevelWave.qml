pragma ComponentBehavior: Bound

import QtQuick
import Kavo

// The listening pill's level wave: one rounded bar per fraction, centred vertically. Still bars ease to a new level.
Row {
    id: wave

    required property list<real> bars
    required property bool animated
    property real barHeight: 20

    spacing: 3
    height: barHeight

    Repeater {
        model: wave.bars.length

        Rectangle {
            required property int index

            anchors.verticalCenter: parent.verticalCenter
            width: 3
            radius: 1.5
            height: wave.barHeight * wave.bars[index]
            color: Tokens.brand

            Behavior on height {
                enabled: !wave.animated

                NumberAnimation {
                    duration: 120
                    easing.type: Easing.OutQuad
                }
            }
        }
    }
}
