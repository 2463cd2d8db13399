import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Vocabulary

// One snippet: its trigger phrase, the full text typed in its place, and its delete button. Each keystroke goes
// to the view at once; the row stays while the model tells the change.
Rectangle {
    id: card

    required property VocabularyView view
    required property string snippetId
    required property string trigger
    required property string text
    required property string deleteLabel

    function focusTrigger() {
        triggerField.forceActiveFocus(Qt.TabFocusReason)
    }

    implicitHeight: layout.implicitHeight + 28
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    RowLayout {
        id: layout

        anchors.fill: parent
        anchors.margins: 14
        spacing: 12

        ColumnLayout {
            spacing: 6
            Layout.preferredWidth: 220
            Layout.maximumWidth: 220
            Layout.alignment: Qt.AlignTop

            KavoText {
                text: qsTr("Trigger phrase")
                pixelSize: 12
                color: Tokens.textSecondary
            }

            KavoTextField {
                id: triggerField

                text: card.trigger
                placeholderText: qsTr("Short phrase")
                Accessible.name: qsTr("Trigger phrase")
                Layout.fillWidth: true
                onTextEdited: card.view.setTrigger(card.snippetId, text)
            }
        }

        KavoIcon {
            name: "arrow-right"
            size: 16
            color: Tokens.textTertiary
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: 31
        }

        ColumnLayout {
            spacing: 6
            // Takes what the trigger column leaves, whatever the length of its text.
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.alignment: Qt.AlignTop

            KavoText {
                text: qsTr("Full text to type")
                pixelSize: 12
                color: Tokens.textSecondary
            }

            TextArea {
                id: textArea

                text: card.text
                placeholderText: qsTr("for example, my address")
                placeholderTextColor: Tokens.textTertiary
                color: Tokens.textPrimary
                selectionColor: Tokens.blue200
                selectedTextColor: Tokens.textPrimary
                font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)
                wrapMode: TextEdit.Wrap
                topPadding: 8
                bottomPadding: 8
                leftPadding: 10
                rightPadding: 10
                Accessible.name: qsTr("Full text to type")
                Layout.fillWidth: true
                Layout.minimumHeight: 34
                // The text may hold line breaks, but not tabs: Tab moves on, as everywhere else.
                Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                onTextChanged: {
                    if (text !== card.text)
                        card.view.setText(card.snippetId, text)
                }

                background: Rectangle {
                    radius: 8
                    color: Tokens.surfaceCard
                    border.width: textArea.activeFocus ? 2 : 1
                    border.color: textArea.activeFocus ? Tokens.borderFocus : Tokens.borderDefault
                }
            }
        }

        KavoButton {
            text: qsTr("Delete")
            Accessible.name: card.deleteLabel
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: 22
            onClicked: card.view.removeSnippet(card.snippetId)
        }
    }
}
