import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The AI and languages tab: the model, the spoken languages, the text cleanup and the API key.
ColumnLayout {
    id: tab

    required property SettingsView view

    spacing: 12

    SettingsCard {
        SettingsRow {
            title: qsTr("Model")
            description: qsTr("Flash — faster, Pro — more accurate")

            ChoiceBox {
                choice: tab.view.model
                Accessible.name: qsTr("Model")
            }
        }

        SettingsRow {
            title: qsTr("Languages")
            description: qsTr("Understands you even when you mix languages")
            below: Flow {
                width: parent.width
                spacing: 8

                Repeater {
                    model: tab.view.languageChips

                    delegate: LanguageChip {
                        required property var modelData

                        text: modelData.label
                        glyph: "x"
                        selected: true
                        onClicked: tab.view.toggleLanguage(modelData.code)
                    }
                }

                LanguageChip {
                    id: addLanguage

                    visible: tab.view.addableLanguages.length > 0
                    text: qsTr("Add a language")
                    glyph: "plus"
                    onClicked: languageMenu.open()

                    Menu {
                        id: languageMenu

                        y: addLanguage.height + 4

                        Instantiator {
                            model: tab.view.addableLanguages
                            onObjectAdded: (index, item) => languageMenu.insertItem(index, item)
                            onObjectRemoved: (index, item) => languageMenu.removeItem(item)

                            delegate: MenuItem {
                                required property var modelData

                                text: modelData.label
                                onTriggered: tab.view.toggleLanguage(modelData.code)
                            }
                        }
                    }
                }
            }
        }
    }

    GroupLabel {
        text: qsTr("Text cleanup")
    }

    SettingsCard {
        SwitchRow {
            title: qsTr("Remove filler words")
            description: qsTr("Words like «uh», «um» and «like» are left out")
            target: tab.view.settings
            field: "removeFillers"
        }

        SwitchRow {
            title: qsTr("Punctuation")
            description: qsTr("Puts in commas, full stops and question marks by itself")
            target: tab.view.settings
            field: "punctuation"
        }

        SwitchRow {
            title: qsTr("Understand self-corrections")
            description: qsTr("«at ten, no, at eleven» — only the last one is written")
            target: tab.view.settings
            field: "resolveCorrections"
        }
    }

    SettingsCard {
        SettingsRow {
            title: qsTr("Gemini API key")

            Rectangle {
                implicitWidth: badge.implicitWidth + 16
                implicitHeight: 24
                radius: 12
                color: Tokens.surfaceSunken
                Accessible.role: Accessible.StaticText
                Accessible.name: badge.text

                KavoText {
                    id: badge

                    anchors.centerIn: parent
                    text: tab.view.keyStatus
                    weight: Font.DemiBold
                    pixelSize: 12
                    color: Tokens.foreground(tab.view.keyStatusTone)
                }
            }

            below: [
                RowLayout {
                    width: parent.width
                    spacing: 8

                    KavoTextField {
                        id: keyField

                        Layout.fillWidth: true
                        placeholderText: qsTr("Paste the key here")
                        Accessible.name: qsTr("Gemini API key")
                        echoMode: showKey.checked ? TextInput.Normal : TextInput.Password
                        text: tab.view.settings.apiKey
                        onTextEdited: tab.view.settings.apiKey = text
                        onEditingFinished: tab.view.finishKeyEdit()
                    }

                    KavoButton {
                        id: showKey

                        checkable: true
                        text: checked ? qsTr("Hide") : qsTr("Show")
                    }
                },
                Row {
                    spacing: 4

                    KavoText {
                        text: qsTr("Get a key for free:")
                        pixelSize: 13
                        color: Tokens.textSecondary
                    }

                    AbstractButton {
                        id: studioLink

                        text: qsTr("Google AI Studio")
                        focusPolicy: Qt.StrongFocus
                        leftPadding: 2
                        rightPadding: 2
                        Accessible.role: Accessible.Link
                        Accessible.name: text
                        Accessible.onPressAction: studioLink.clicked()
                        onClicked: Qt.openUrlExternally("https://aistudio.google.com/app/apikey")

                        HoverHandler {
                            cursorShape: Qt.PointingHandCursor
                        }

                        contentItem: KavoText {
                            text: studioLink.text
                            pixelSize: 13
                            weight: studioLink.hovered ? Font.DemiBold : Font.Medium
                            color: Tokens.textLink
                        }

                        background: Rectangle {
                            radius: 4
                            color: Tokens.surfaceCard
                            border.width: studioLink.visualFocus ? 2 : 0
                            border.color: Tokens.borderFocus
                        }
                    }
                },
                KavoText {
                    width: parent.width
                    text: qsTr("Your voice goes straight to Google, with your own key. If you go over the free limit, you pay Google directly.")
                    pixelSize: 13
                    color: Tokens.textSecondary
                    wrapMode: Text.Wrap
                }
            ]
        }
    }
}
