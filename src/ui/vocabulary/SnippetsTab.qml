import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Vocabulary

// The Snippets tab: one card per snippet, each a trigger phrase and the text typed in its place.
ColumnLayout {
    id: page

    required property VocabularyView view

    spacing: 14

    RowLayout {
        spacing: 12
        Layout.fillWidth: true

        KavoText {
            text: qsTr("Say a short phrase — the full text is typed.")
            color: Tokens.textSecondary
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        KavoButton {
            objectName: "newSnippetButton"
            primary: true
            text: qsTr("New snippet")
            onClicked: page.view.newSnippet()
        }
    }

    ListView {
        id: list

        objectName: "snippetList"
        visible: page.view.hasSnippets
        clip: true
        // Not reused, like the word chips: a removed card would stay on screen.
        reuseItems: false
        spacing: 10
        boundsBehavior: Flickable.StopAtBounds
        model: page.view.snippets
        Layout.fillWidth: true
        Layout.fillHeight: true
        ScrollBar.vertical: ScrollBar {}

        delegate: SnippetCard {
            width: list.width
            view: page.view
        }

        Connections {
            target: page.view

            function onTriggerFocusWanted(row) {
                list.positionViewAtIndex(row, ListView.Contain)
                const card = list.itemAtIndex(row)
                if (card)
                    card.focusTrigger()
            }
        }
    }

    Rectangle {
        visible: !page.view.hasSnippets
        radius: 12
        color: Tokens.surfaceCard
        border.color: Tokens.borderDefault
        Layout.fillWidth: true
        Layout.fillHeight: true

        KavoText {
            anchors.fill: parent
            anchors.margins: 32
            text: page.view.emptySnippetsText
            color: Tokens.textSecondary
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
    }
}
