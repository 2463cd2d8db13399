import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.History

// One History entry: its text, where and when it was dictated, its kept recording when it has no text, and the
// actions on it. The view decides and does everything; the card shows the model's row.
FocusScope {
    id: card

    required property HistoryView view
    required property int index
    required property var entryId
    required property string text
    required property bool hasText
    required property string accessibleName
    required property string words
    required property string iconName
    required property int iconTone
    required property string sourceLabel
    required property string time
    required property bool failed
    required property bool discarded
    required property bool audioShown
    required property string audioTitle
    required property string audioLine
    required property string audioAction
    required property bool retrying
    required property bool editing

    objectName: "card"
    width: ListView.view ? ListView.view.width : 0
    implicitHeight: column.implicitHeight + 32
    Accessible.role: Accessible.ListItem
    Accessible.name: card.accessibleName
    // Tab reaches the buttons of cards at the edge of the list: bring the card whose button has the focus into view.
    onActiveFocusChanged: if (activeFocus && ListView.view) ListView.view.positionViewAtIndex(index, ListView.Contain)

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Tokens.surfaceCard
        border.color: Tokens.borderDefault
    }

    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 16
        spacing: 10

        RowLayout {
            spacing: 6
            Layout.fillWidth: true

            KavoIcon {
                name: card.iconName
                color: Tokens.foreground(card.iconTone)
                size: 16
            }

            KavoText {
                text: card.sourceLabel
                weight: Font.DemiBold
                pixelSize: 12
                color: Tokens.textBody
                elide: Text.ElideRight
                Layout.maximumWidth: 160
            }

            KavoText {
                text: "·  " + card.time
                pixelSize: 12
                color: Tokens.textTertiary
            }

            KavoText {
                visible: card.words !== ""
                text: "·  " + card.words
                pixelSize: 12
                color: Tokens.textTertiary
            }

            Rectangle {
                visible: card.discarded
                implicitWidth: cancelled.implicitWidth + 12
                implicitHeight: cancelled.implicitHeight + 4
                radius: 6
                color: Tokens.surfaceSunken

                KavoText {
                    id: cancelled

                    anchors.centerIn: parent
                    text: qsTr("Cancelled")
                    weight: Font.DemiBold
                    pixelSize: 11
                    color: Tokens.textSecondary
                }
            }

            Item {
                Layout.fillWidth: true
            }

            CardAction {
                objectName: "copy"
                visible: card.hasText && !card.editing
                text: qsTr("Copy")
                onClicked: card.view.copy(card.entryId)
            }

            CardAction {
                objectName: "edit"
                visible: card.hasText && !card.editing
                text: qsTr("Edit")
                onClicked: card.view.edit(card.entryId)
            }

            CardAction {
                objectName: "delete"
                visible: !card.editing
                text: qsTr("Delete")
                onClicked: card.view.remove(card.entryId)
            }
        }

        KavoText {
            visible: !card.editing && card.text !== ""
            text: card.text
            color: Tokens.textPrimary
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        // Made only while the entry is edited: a list of a thousand cards carries no text editors.
        Loader {
            active: card.editing
            visible: active
            Layout.fillWidth: true

            sourceComponent: EntryEditor {
                original: card.text
                onSaved: text => card.view.saveEdit(card.entryId, text)
                onCancelled: card.view.cancelEdit()
            }
        }

        AudioBox {
            visible: card.audioShown
            title: card.audioTitle
            line: card.audioLine
            action: card.audioAction
            failed: card.failed
            retrying: card.retrying
            Layout.fillWidth: true
            onActionClicked: card.view.retry(card.entryId)
        }
    }
}
