import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Vocabulary

// The Vocabulary screen: its title, the Dictionary and Snippets tabs, and the page of the tab chosen. It fills its
// parent and draws its own title.
// Required: `view`, the screen's state and actions, owned by the application.
Item {
    id: screen

    required property VocabularyView view

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 32
        spacing: 16

        RowLayout {
            Layout.fillWidth: true
            spacing: 16

            KavoText {
                text: qsTr("Vocabulary")
                weight: Font.Bold
                pixelSize: 24
                Layout.fillWidth: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }

            Rectangle {
                implicitWidth: tabs.implicitWidth + 6
                implicitHeight: tabs.implicitHeight + 6
                radius: 10
                color: Tokens.surfaceSunken
                Accessible.role: Accessible.PageTabList

                Row {
                    id: tabs

                    anchors.centerIn: parent
                    spacing: 2

                    TabChoice {
                        objectName: "dictionaryTab"
                        text: qsTr("Dictionary")
                        current: screen.view.tabIndex === 0
                        onClicked: screen.view.tabIndex = 0
                    }

                    TabChoice {
                        objectName: "snippetsTab"
                        text: qsTr("Snippets")
                        current: screen.view.tabIndex === 1
                        onClicked: screen.view.tabIndex = 1
                    }
                }
            }
        }

        StackLayout {
            currentIndex: screen.view.tabIndex
            Layout.fillWidth: true
            Layout.fillHeight: true

            DictionaryTab {
                view: screen.view
            }

            SnippetsTab {
                view: screen.view
            }
        }
    }
}
