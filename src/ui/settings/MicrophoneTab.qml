import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The Microphone tab: the input device, the sound processing, and the test with its level bars.
ColumnLayout {
    id: tab

    required property SettingsView view

    spacing: 12

    SettingsCard {
        SettingsRow {
            title: qsTr("Microphone")
            description: qsTr("For dictation")

            ChoiceBox {
                choice: tab.view.microphone
                Accessible.name: qsTr("Microphone")
            }
        }

        SwitchRow {
            title: qsTr("Noise reduction")
            description: qsTr("Lowers background noise and keyboard sounds")
            target: tab.view.settings
            field: "noiseReduction"
        }

        SwitchRow {
            title: qsTr("Shorten long pauses")
            description: qsTr("Long silences are cut before the audio is sent")
            target: tab.view.settings
            field: "trimSilence"
        }

        SettingsRow {
            title: qsTr("Sound level")
            description: tab.view.soundLevelDescription

            Row {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3
                Accessible.ignored: true

                Repeater {
                    model: tab.view.levelBarCount

                    delegate: Rectangle {
                        required property int index

                        anchors.verticalCenter: parent.verticalCenter
                        width: 5
                        height: 8 + index
                        radius: 2
                        color: index < tab.view.litBars ? Tokens.positive : Tokens.neutral300
                    }
                }
            }

            KavoButton {
                text: tab.view.micTestButtonText
                onClicked: tab.view.toggleMicTest()
            }
        }
    }
}
