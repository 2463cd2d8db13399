import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The Shortcuts tab: the dictation keys, hold or press-once mode, the hold time and the cancel key.
ColumnLayout {
    id: tab

    required property SettingsView view

    spacing: 12

    SettingsCard {
        SettingsRow {
            title: qsTr("Dictation")
            description: tab.view.dictationDescription

            Repeater {
                model: tab.view.hotkeyKeys

                delegate: Keycap {
                    required property string modelData

                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData
                }
            }

            KavoButton {
                id: changeKeys

                text: qsTr("Change keys")
                onClicked: keysMenu.open()

                Menu {
                    id: keysMenu

                    objectName: "keysMenu"
                    y: changeKeys.height + 4

                    Instantiator {
                        model: tab.view.hotkey.labels
                        onObjectAdded: (index, item) => keysMenu.insertItem(index, item)
                        onObjectRemoved: (index, item) => keysMenu.removeItem(item)

                        delegate: MenuItem {
                            required property string modelData
                            required property int index

                            text: modelData
                            checkable: true
                            checked: index === tab.view.hotkey.currentIndex
                            onTriggered: tab.view.hotkey.choose(index)
                        }
                    }
                }
            }

            below: Column {
                width: parent.width
                visible: tab.view.hotkeyProblem !== ""
                spacing: 8

                WarningNote {
                    objectName: "hotkeyProblem"
                    width: parent.width
                    text: tab.view.hotkeyProblem
                }

                KavoText {
                    width: parent.width
                    text: qsTr("Until then, a keyboard shortcut of your desktop's own can start and stop dictation "
                               + "with this command:")
                    pixelSize: 13
                    color: Tokens.textSecondary
                    wrapMode: Text.Wrap
                }

                RowLayout {
                    width: parent.width
                    spacing: 8

                    KavoText {
                        Layout.fillWidth: true
                        text: tab.view.toggleCommand
                        font: Tokens.monospace(13)
                        color: Tokens.textBody
                        // A long path breaks anywhere rather than push the button out of the card.
                        wrapMode: Text.WrapAnywhere
                    }

                    KavoButton {
                        text: tab.view.copied ? qsTr("Copied") : qsTr("Copy")
                        Accessible.name: qsTr("Copy the command")
                        onClicked: tab.view.copyToggleCommand()
                    }
                }
            }
        }

        SettingsRow {
            title: qsTr("Dictation mode")
            description: tab.view.modeDescription

            SegmentedChoice {
                choice: tab.view.hotkeyMode
                name: qsTr("Dictation mode")
            }
        }

        SettingsRow {
            title: qsTr("Hold time")
            description: qsTr("How long to hold the keys before recording starts")

            ChoiceBox {
                objectName: "holdTime"
                implicitWidth: 120
                choice: tab.view.holdTime
                Accessible.name: qsTr("Hold time")
            }
        }

        SettingsRow {
            title: qsTr("Cancel dictation")
            description: qsTr("Not typed; kept in History as cancelled")

            Keycap {
                text: qsTr("Esc")
            }
        }
    }
}
