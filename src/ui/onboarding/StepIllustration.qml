pragma ComponentBehavior: Bound

import QtQuick
import Kavo

// The picture beside a step: the step's sign in a tinted disc, with rings and a few tinted marks around it.
Item {
    id: illustration

    // The step shown, as OnboardingView.Step counts them.
    required property int step

    readonly property var glyphs: ["languages", "mic", "keyboard", "key-round", "audio-lines"]
    readonly property var tints: [Tokens.purple600, Tokens.teal600, Tokens.amber600, Tokens.blue600, Tokens.green600]
    readonly property var washes: [Tokens.purple50, Tokens.teal50, Tokens.amber50, Tokens.blue50, Tokens.green50]
    readonly property color tint: tints[step]

    implicitWidth: 200
    implicitHeight: 200
    Accessible.ignored: true

    Rectangle {
        anchors.centerIn: parent
        width: 196
        height: 196
        radius: width / 2
        color: "transparent"
        border.color: Tokens.borderDefault
        border.width: 1
    }

    Rectangle {
        anchors.centerIn: parent
        width: 150
        height: 150
        radius: width / 2
        color: illustration.washes[illustration.step]
        border.color: illustration.tint
        border.width: 2
        opacity: 0.9
    }

    Rectangle {
        anchors.centerIn: parent
        width: 92
        height: 92
        radius: 24
        color: Tokens.surfaceCard
        border.color: Tokens.borderDefault

        KavoIcon {
            anchors.centerIn: parent
            name: illustration.glyphs[illustration.step]
            size: 48
            color: illustration.tint
        }
    }

    // Marks on the outer ring, turned a little further at every step.
    Repeater {
        model: 4

        Rectangle {
            required property int index

            readonly property real angle: (index * 90 + 30 + illustration.step * 18) * Math.PI / 180

            width: index % 2 ? 12 : 18
            height: width
            radius: width / 2
            x: illustration.width / 2 + 98 * Math.cos(angle) - width / 2
            y: illustration.height / 2 + 98 * Math.sin(angle) - height / 2
            color: index % 2 ? Tokens.surfaceCard : illustration.tint
            border.color: illustration.tint
            border.width: 2
        }
    }
}
