pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Onboarding
import Kavo.Vocabulary

// The first-run window: one step at a time, with progress dots, the step's picture, texts and controls, its
// "More info" text, and Back / Next (Done on the last step). `view` decides every text and when Next may be pressed.
Window {
    id: window

    required property OnboardingView view

    title: "Kavo Voice"
    width: 720
    height: 560
    minimumWidth: 640
    minimumHeight: 520
    color: Tokens.bgApp

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 28
        spacing: 20

        Row {
            Layout.alignment: Qt.AlignHCenter
            spacing: 8
            Accessible.ignored: true

            Repeater {
                model: window.view.stepCount

                Rectangle {
                    required property int index

                    width: index === window.view.step ? 24 : 8
                    height: 8
                    radius: 4
                    color: index <= window.view.step ? Tokens.brand : Tokens.borderStrong
                }
            }
        }

        RowLayout {
            spacing: 32
            Layout.fillWidth: true
            Layout.fillHeight: true

            StepIllustration {
                step: window.view.step
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: 12
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.alignment: Qt.AlignTop

                KavoText {
                    objectName: "title"
                    text: window.view.title
                    weight: Font.Bold
                    pixelSize: 22
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }

                KavoText {
                    objectName: "line"
                    text: window.view.line
                    color: Tokens.textBody
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                    Layout.bottomMargin: 10
                }

                // The step's own controls, by the step's number (languages, microphone, keyboard access, key,
                // try it); a hidden one takes no room.
                Flow {
                    visible: window.view.step === 0
                    Layout.fillWidth: true
                    spacing: 8

                    Repeater {
                        model: window.view.languages

                        KavoButton {
                            required property string code
                            required property string label
                            required property bool selected

                            objectName: "chip-" + code
                            text: label
                            primary: selected
                            Accessible.checkable: true
                            Accessible.checked: selected
                            onClicked: window.view.languages.toggle(code)
                        }
                    }
                }

                StatusCard {
                    visible: window.view.step === 1
                    Layout.fillWidth: true
                    icon: "mic"
                    title: qsTr("Microphone")
                    status: window.view.micStatus
                    granted: window.view.micAllowed
                    help: window.view.micAllowed ? "" : window.view.micHelp
                    actionText: window.view.micAllowed ? "" : qsTr("Check again")
                    onActionClicked: window.view.checkMicrophone()
                }

                StatusCard {
                    visible: window.view.step === 2
                    Layout.fillWidth: true
                    icon: "keyboard"
                    title: qsTr("Keyboard access")
                    status: window.view.inputStatus
                    granted: window.view.inputGranted
                    help: window.view.inputHelp
                    command: window.view.inputGranted ? "" : window.view.command
                    actionText: window.view.inputGranted || window.view.command === "" ? "" : qsTr("Copy command")
                    waitingText: window.view.waitingText
                    onActionClicked: window.view.copyCommand()
                }

                GridLayout {
                    visible: window.view.step === 3
                    Layout.fillWidth: true
                    columns: 2
                    columnSpacing: 10
                    rowSpacing: 10

                    KavoText { text: "1."; color: Tokens.textSecondary }

                    KavoButton {
                        id: keyPageLink
                        objectName: "keyPage"
                        text: qsTr("Google AI Studio")
                        onClicked: window.view.openKeyPage()
                        contentItem: KavoText {
                            text: keyPageLink.text
                            weight: Font.DemiBold
                            color: Tokens.textLink
                            verticalAlignment: Text.AlignVCenter
                        }
                    }

                    KavoText { text: "2."; color: Tokens.textSecondary }

                    KavoText { text: qsTr("«Create API key»"); color: Tokens.textBody }

                    KavoText { text: "3."; color: Tokens.textSecondary }

                    RowLayout {
                        spacing: 8
                        Layout.fillWidth: true

                        KavoTextField {
                            id: keyField
                            objectName: "keyField"
                            placeholderText: qsTr("Paste it here")
                            text: window.view.apiKey
                            glyph: "key-round"
                            Layout.fillWidth: true
                            onAccepted: window.view.checkKey(text)
                        }

                        KavoButton {
                            objectName: "checkKey"
                            text: window.view.checkText
                            enabled: !window.view.checking && keyField.text !== ""
                            onClicked: window.view.checkKey(keyField.text)
                        }
                    }

                    Item { implicitWidth: 1 }

                    KavoText {
                        objectName: "keyResult"
                        visible: text !== ""
                        text: window.view.keyResult
                        color: window.view.keyChecked ? Tokens.positive : Tokens.negative
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                    }
                }

                ColumnLayout {
                    visible: window.view.step === 4
                    Layout.fillWidth: true
                    // The first dictation lands here, so the box has the cursor as soon as the step shows.
                    onVisibleChanged: if (visible) tryArea.forceActiveFocus()
                    spacing: 10

                    KavoText {
                        text: window.view.tryHeading
                        weight: Font.DemiBold
                    }

                    Rectangle {
                        radius: 10
                        color: Tokens.surfaceCard
                        border.width: tryArea.activeFocus ? 2 : 1
                        border.color: tryArea.activeFocus ? Tokens.borderFocus : Tokens.borderDefault
                        Layout.fillWidth: true
                        Layout.preferredHeight: 110

                        TextArea {
                            id: tryArea
                            objectName: "tryArea"
                            anchors.fill: parent
                            anchors.margins: 2
                            wrapMode: TextEdit.Wrap
                            color: Tokens.textPrimary
                            selectionColor: Tokens.blue200
                            selectedTextColor: Tokens.textPrimary
                            font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)
                            background: null
                            Accessible.name: window.view.tryHeading
                            // Tab moves on, as everywhere else in the window.
                            Keys.onTabPressed: event => tryArea.nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                            Keys.onBacktabPressed: event => tryArea.nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                        }

                        Rectangle {
                            visible: window.view.listeningText !== ""
                            anchors.right: parent.right
                            anchors.bottom: parent.bottom
                            anchors.margins: 8
                            radius: 10
                            color: Tokens.negativeBg
                            implicitWidth: listening.implicitWidth + 20
                            implicitHeight: 24
                            // Named here so that screen readers hear it start and stop.
                            Accessible.role: Accessible.StaticText
                            Accessible.name: window.view.listeningText

                            KavoText {
                                id: listening
                                anchors.centerIn: parent
                                Accessible.ignored: true
                                text: window.view.listeningText
                                pixelSize: 12
                                weight: Font.DemiBold
                                color: Tokens.negative
                            }
                        }
                    }

                    RowLayout {
                        spacing: 10

                        KavoText {
                            text: qsTr("Talk key")
                            color: Tokens.textBody
                        }

                        LanguageChoice {
                            objectName: "talkKey"
                            model: window.view.hotkeyLabels
                            currentIndex: window.view.hotkeyIndex
                            Layout.preferredWidth: 190
                            Accessible.name: qsTr("Talk key")
                            onActivated: index => window.view.hotkeyIndex = index
                        }
                    }
                }
                KavoButton {
                    objectName: "moreInfo"
                    text: qsTr("More info")
                    Layout.topMargin: 6
                    Accessible.checkable: true
                    Accessible.checked: window.view.infoOpen
                    onClicked: window.view.infoOpen = !window.view.infoOpen
                    contentItem: RowLayout {
                        spacing: 6

                        KavoText {
                            text: qsTr("More info")
                            weight: Font.DemiBold
                            color: Tokens.textSecondary
                        }

                        KavoIcon {
                            name: "chevron-down"
                            size: 14
                            color: Tokens.textSecondary
                            rotation: window.view.infoOpen ? 180 : 0
                        }
                    }
                }

                KavoText {
                    objectName: "info"
                    visible: window.view.infoOpen
                    text: window.view.info
                    color: Tokens.textSecondary
                    pixelSize: 13
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }

                Item { Layout.fillHeight: true }
            }
        }

        RowLayout {
            spacing: 8
            Layout.fillWidth: true

            KavoButton {
                objectName: "back"
                visible: window.view.backVisible
                text: qsTr("Back")
                onClicked: window.view.back()
                contentItem: RowLayout {
                    spacing: 6

                    KavoIcon {
                        name: "arrow-left"
                        size: 16
                        color: Tokens.textPrimary
                    }

                    KavoText {
                        text: qsTr("Back")
                        weight: Font.DemiBold
                    }
                }
            }

            Item { Layout.fillWidth: true }

            KavoButton {
                objectName: "primary"
                primary: true
                text: window.view.primaryText
                enabled: window.view.primaryEnabled
                opacity: enabled ? 1 : 0.45
                Layout.preferredWidth: 110
                onClicked: window.view.next()
            }
        }
    }
}
