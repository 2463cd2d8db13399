import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The Advanced tab: how text is typed, the phone server and its shortcut, the data, and the model's instructions.
ColumnLayout {
    id: tab

    required property SettingsView view

    spacing: 12

    SettingsCard {
        SettingsRow {
            title: qsTr("Text insertion")
            description: qsTr("How the text gets into the app")

            ChoiceBox {
                choice: tab.view.insertMethod
                Accessible.name: qsTr("Text insertion")
            }
        }

        SettingsRow {
            title: qsTr("Line break")
            description: qsTr("A plain Return sends the message in a chat")

            ChoiceBox {
                implicitWidth: 250
                choice: tab.view.newlineMode
                Accessible.name: qsTr("Line break")
            }
        }

        SwitchRow {
            title: qsTr("Keep audio files")
            description: qsTr("Recordings stay in the data folder after they are written out")
            target: tab.view.settings
            field: "keepAudio"
        }
    }

    SettingsCard {
        SwitchRow {
            title: qsTr("Phone server")
            description: qsTr("A phone on the same Wi-Fi can dictate into this computer")
            target: tab.view.settings
            field: "phoneServerEnabled"
        }

        SwitchRow {
            title: qsTr("Type phone text into the front app")
            description: qsTr("Otherwise it is only kept in History")
            target: tab.view.settings
            field: "phoneInserts"
        }

        SwitchRow {
            title: qsTr("HTTP for iOS Shortcuts")
            description: qsTr("Shortcuts cannot use the secure address; this one is not encrypted")
            target: tab.view.settings
            field: "phonePlainEnabled"
        }

        SettingsRow {
            title: qsTr("Shortcut address")
            description: tab.view.shortcutAddressNote

            KavoText {
                visible: tab.view.shortcutAddress !== ""
                anchors.verticalCenter: parent.verticalCenter
                text: tab.view.shortcutAddress
                font: Tokens.monospace(13)
                color: Tokens.textBody
            }

            KavoButton {
                visible: tab.view.shortcutAddress !== ""
                text: tab.view.copied ? qsTr("Copied") : qsTr("Copy")
                onClicked: tab.view.copyShortcutAddress()
            }

            below: Column {
                width: parent.width
                spacing: 6

                KavoText {
                    text: qsTr("Make the Shortcut")
                    weight: Font.DemiBold
                }

                KavoText {
                    text: qsTr("In the Shortcuts app on the iPhone")
                    pixelSize: 13
                    color: Tokens.textSecondary
                }

                Repeater {
                    model: [qsTr("Create a new shortcut."), qsTr("Add “Record Audio”. Set it to start right away and to finish on tap."), qsTr("Add “Get Contents of URL” with the address above. Method: POST. Request Body: File, with the recorded audio."), qsTr("Add “Get Dictionary Value” with the key “text”."), qsTr("Add “Show Result” to see the text."), qsTr("Put the shortcut on the Action Button, Back Tap or the Home Screen.")]

                    delegate: Row {
                        required property string modelData
                        required property int index

                        width: parent.width
                        spacing: 8

                        KavoText {
                            width: 16
                            text: index + 1
                            pixelSize: 13
                            weight: Font.DemiBold
                            color: Tokens.textSecondary
                        }

                        KavoText {
                            width: parent.width - 24
                            text: modelData
                            pixelSize: 13
                            color: Tokens.textBody
                            wrapMode: Text.Wrap
                        }
                    }
                }
            }
        }
    }

    SettingsCard {
        SettingsRow {
            title: qsTr("Keep history")
            description: qsTr("Older entries are deleted automatically")

            ChoiceBox {
                implicitWidth: 140
                choice: tab.view.historyDays
                Accessible.name: qsTr("Keep history")
            }
        }

        SettingsRow {
            title: qsTr("Data folder")

            KavoButton {
                text: qsTr("Open")
                Accessible.name: qsTr("Open the data folder")
                onClicked: tab.view.openDataFolder()
            }
        }

        SettingsRow {
            title: qsTr("Export")
            description: qsTr("Save history, notes and vocabulary in one file")

            KavoButton {
                text: tab.view.exported ? qsTr("Exported") : qsTr("Export all")
                onClicked: {
                    exportDialog.selectedFile = exportDialog.currentFolder + "/" + tab.view.archiveName()
                    exportDialog.open()
                }
            }

            FileDialog {
                id: exportDialog

                fileMode: FileDialog.SaveFile
                nameFilters: [qsTr("ZIP archives (*.zip)")]
                onAccepted: tab.view.exportAll(selectedFile)
            }
        }

        SettingsRow {
            title: qsTr("Delete all data")
            description: qsTr("History, notes and vocabulary")

            KavoText {
                visible: tab.view.deleteArmed
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Confirm — this cannot be undone")
                pixelSize: 13
                color: Tokens.negative
            }

            KavoButton {
                objectName: "deleteAll"
                text: tab.view.deleteArmed ? qsTr("Confirm") : qsTr("Delete")
                onClicked: tab.view.pressDelete()
            }
        }
    }

    SettingsCard {
        SettingsRow {
            title: qsTr("Model instructions")
            description: qsTr("The cleanup switches and the vocabulary are added to it by themselves")
            below: TextArea {
                width: parent.width
                placeholderText: qsTr("Prompt")
                placeholderTextColor: Tokens.textTertiary
                Accessible.name: qsTr("Model instructions")
                wrapMode: TextEdit.Wrap
                color: Tokens.textPrimary
                selectionColor: Tokens.blue200
                selectedTextColor: Tokens.textPrimary
                font: Tokens.font(Font.Normal, 13)
                padding: 10
                text: tab.view.settings.prompt
                // Tab moves on instead of typing a tab, so that the keyboard does not get stuck here.
                Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                onTextChanged: {
                    if (text !== tab.view.settings.prompt)
                        tab.view.settings.prompt = text
                }

                background: Rectangle {
                    implicitHeight: 96
                    radius: 8
                    color: Tokens.surfaceCard
                    border.width: parent.activeFocus ? 2 : 1
                    border.color: parent.activeFocus ? Tokens.borderFocus : Tokens.borderDefault
                }
            }
        }

        SettingsRow {
            title: qsTr("Thinking level")
            description: qsTr("How much the model thinks before it writes")

            ChoiceBox {
                implicitWidth: 170
                choice: tab.view.thinkingLevel
                Accessible.name: qsTr("Thinking level")
            }
        }
    }
}
