import QtQuick
import QtQuick.Layouts
import Kavo

// The kept recording of an entry that has no text: what became of it, its length, and a button to transcribe it,
// or a turning indicator while that runs.
Rectangle {
    id: box

    required property string title
    required property string line
    required property string action
    required property bool failed
    required property bool retrying

    signal actionClicked

    implicitHeight: row.implicitHeight + 20
    radius: 10
    color: box.failed ? Tokens.warningBg : Tokens.surfaceSunken
    border.color: box.failed ? Tokens.warningBorder : Tokens.borderDefault

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 10
        spacing: 10

        KavoIcon {
            id: glyph

            name: box.retrying ? "loader-circle" : "audio-lines"
            color: box.failed ? Tokens.warning : Tokens.textSecondary
            size: 18

            RotationAnimator on rotation {
                running: box.retrying && box.visible
                from: 0
                to: 360
                duration: 1000
                loops: Animation.Infinite
                onStopped: glyph.rotation = 0
            }
        }

        ColumnLayout {
            spacing: 2
            Layout.fillWidth: true

            KavoText {
                text: box.title
                weight: Font.DemiBold
                color: box.failed ? Tokens.warning : Tokens.textPrimary
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoText {
                text: box.line
                pixelSize: 12
                color: Tokens.textSecondary
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
        }

        KavoButton {
            objectName: "audioAction"
            visible: !box.retrying
            text: box.action
            onClicked: box.actionClicked()
        }
    }
}
