import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import Kavo
import Kavo.Vocabulary

// The Dictionary tab: adding words, importing and exporting word lists, and the words themselves as chips.
ColumnLayout {
    id: page

    required property VocabularyView view

    function addTyped() {
        if (page.view.addWords(input.text))
            input.clear()
    }

    spacing: 14

    KavoText {
        text: qsTr("Kavo Voice always spells these words right — names, terms, brands.")
        color: Tokens.textSecondary
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    RowLayout {
        spacing: 8
        Layout.fillWidth: true

        KavoTextField {
            id: input

            objectName: "wordInput"
            glyph: "book-a"
            placeholderText: qsTr("Add words, separated by commas")
            Layout.fillWidth: true
            onAccepted: page.addTyped()
        }

        LanguageChoice {
            model: page.view.languageNames
            currentIndex: page.view.languageIndex
            Accessible.name: qsTr("Language of new words")
            Layout.preferredWidth: 150
            onActivated: index => page.view.languageIndex = index
        }

        KavoButton {
            primary: true
            text: qsTr("Add")
            onClicked: page.addTyped()
        }

        KavoButton {
            text: qsTr("Import")
            onClicked: importDialog.open()
        }
    }

    Rectangle {
        radius: 12
        color: Tokens.surfaceCard
        border.color: Tokens.borderDefault
        Layout.fillWidth: true
        Layout.fillHeight: true

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 1
            spacing: 0

            RowLayout {
                spacing: 8
                Layout.fillWidth: true
                Layout.margins: 12
                Layout.leftMargin: 16

                KavoText {
                    text: qsTr("Your vocabulary")
                    weight: Font.DemiBold
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }

                KavoText {
                    visible: page.view.hasWords
                    text: page.view.wordCount
                    pixelSize: 12
                    color: Tokens.textSecondary
                    Layout.fillWidth: true
                }

                Item {
                    visible: !page.view.hasWords
                    Layout.fillWidth: true
                }

                KavoButton {
                    text: qsTr("Export")
                    onClicked: page.view.askToExport()
                }

                KavoButton {
                    visible: page.view.hasWords && !page.view.clearAsked
                    text: qsTr("Clear")
                    onClicked: {
                        page.view.askToClear()
                        confirmButton.forceActiveFocus(Qt.TabFocusReason)
                    }
                }

                KavoButton {
                    visible: page.view.clearAsked
                    text: qsTr("Cancel")
                    onClicked: page.view.cancelClear()
                }

                KavoButton {
                    id: confirmButton

                    visible: page.view.clearAsked
                    primary: true
                    text: qsTr("Confirm")
                    onClicked: page.view.clearWords()
                }
            }

            Rectangle {
                implicitHeight: 1
                color: Tokens.borderSubtle
                Layout.fillWidth: true
            }

            GridView {
                id: grid

                readonly property int columns: Math.max(1, Math.floor(width / 210))

                objectName: "wordGrid"
                visible: page.view.hasWords
                clip: true
                // Not reused: in Qt 6.4 a chip removed from the model stays on screen, and in the Tab order, when
                // reuse is on. Chips are light enough to make as they scroll in.
                reuseItems: false
                boundsBehavior: Flickable.StopAtBounds
                model: page.view.words
                cellWidth: Math.floor((width - leftMargin - rightMargin) / columns)
                cellHeight: 44
                topMargin: 8
                bottomMargin: 8
                leftMargin: 8
                rightMargin: 8
                Layout.fillWidth: true
                Layout.fillHeight: true
                ScrollBar.vertical: ScrollBar {}

                delegate: WordRow {
                    required property string wordId

                    width: grid.cellWidth
                    height: grid.cellHeight
                    onDeleteRequested: page.view.removeWord(wordId)
                }
            }

            KavoText {
                visible: !page.view.hasWords
                text: page.view.emptyWordsText
                color: Tokens.textSecondary
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.margins: 32
            }
        }
    }

    RowLayout {
        spacing: 6

        KavoIcon {
            name: "hard-drive"
            size: 14
            color: Tokens.textTertiary
        }

        KavoText {
            text: qsTr("Saved on this computer")
            pixelSize: 12
            color: Tokens.textTertiary
        }
    }

    Connections {
        target: page.view

        function onExportFileWanted() {
            exportDialog.open()
        }
    }

    FileDialog {
        id: importDialog

        title: qsTr("Import")
        fileMode: FileDialog.OpenFile
        nameFilters: [qsTr("Text files (*.txt *.csv)")]
        onAccepted: page.view.importWords(selectedFile)
    }

    FileDialog {
        id: exportDialog

        title: qsTr("Export")
        fileMode: FileDialog.SaveFile
        currentFolder: page.view.exportFolder
        selectedFile: page.view.exportFile
        nameFilters: [qsTr("Plain text (*.txt)")]
        onAccepted: page.view.exportWords(selectedFile)
    }
}
