import QtQuick
import QtQuick.Layouts
import Kavo

// One word of the vocabulary as a chip: the word, its language when it has one, and its delete button.
Item {
    id: chip

    required property string word
    required property string languageLabel
    required property string deleteLabel

    signal deleteRequested

    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        radius: 8
        color: Tokens.surfaceSubtle
        border.color: Tokens.borderDefault

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 4
            spacing: 6

            KavoText {
                text: chip.word
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoText {
                visible: chip.languageLabel !== ""
                text: chip.languageLabel
                pixelSize: 11
                color: Tokens.info
                leftPadding: 6
                rightPadding: 6
                topPadding: 2
                bottomPadding: 2

                Rectangle {
                    anchors.fill: parent
                    z: -1
                    radius: height / 2
                    color: Tokens.infoBg
                }
            }

            IconButton {
                glyph: "x"
                Accessible.name: chip.deleteLabel
                onClicked: chip.deleteRequested()
            }
        }
    }
}
