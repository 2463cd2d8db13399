import QtQuick
import QtQuick.Layouts
import Kavo

// The toast on screen, at the bottom of the window: tinted by its tone, read out by screen readers when it appears.
Rectangle {
    id: toast

    required property Toasts toasts

    // In the order of Toasts.Tone: success, danger, warning, info.
    readonly property var tones: [
        { glyph: "circle-check", ink: Tokens.positive, fill: Tokens.positiveBg, edge: Tokens.positiveBorder },
        { glyph: "circle-x", ink: Tokens.negative, fill: Tokens.negativeBg, edge: Tokens.negativeBorder },
        { glyph: "triangle-alert", ink: Tokens.warning, fill: Tokens.warningBg, edge: Tokens.warningBorder },
        { glyph: "info", ink: Tokens.info, fill: Tokens.infoBg, edge: Tokens.infoBorder }
    ]
    readonly property var tone: tones[toasts.tone]

    implicitWidth: Math.min(content.implicitWidth + 32, 520)
    implicitHeight: content.implicitHeight + 20
    radius: 12
    color: tone.fill
    border.color: tone.edge
    border.width: 1
    opacity: toasts.visible ? 1 : 0
    visible: opacity > 0
    Accessible.role: Accessible.AlertMessage
    Accessible.name: toasts.detail ? toasts.title + ". " + toasts.detail : toasts.title

    Behavior on opacity {
        NumberAnimation { duration: 160 }
    }

    RowLayout {
        id: content

        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        spacing: 10

        KavoIcon {
            name: toast.tone.glyph
            color: toast.tone.ink
            size: 18
        }

        ColumnLayout {
            spacing: 2
            Layout.fillWidth: true

            KavoText {
                text: toast.toasts.title
                weight: Font.DemiBold
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoText {
                visible: text !== ""
                text: toast.toasts.detail
                color: Tokens.textSecondary
                pixelSize: Tokens.bodyPixelSize - 1
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
        }
    }
}
