import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.History
import Kavo.Main
import Kavo.Notes
import Kavo.Phone
import Kavo.Settings
import Kavo.Vocabulary

// Where the chosen screen, or the settings panel with its heading, is shown. A screen, and the panel, is built the
// first time it is shown and then kept, so that coming back to it is instant and it keeps its scroll position.
Item {
    id: area

    required property MainView view
    required property HistoryView history
    required property NotesView notes
    required property VocabularyView vocabulary
    required property PhoneView phone
    required property SettingsView settings

    StackLayout {
        anchors.fill: parent
        visible: !area.view.settingsOpen
        currentIndex: area.view.screenIndex

        Loader {
            active: area.view.screenIndex === 0 || item !== null
            sourceComponent: HistoryScreen {
                view: area.history
            }
        }

        Loader {
            active: area.view.screenIndex === 1 || item !== null
            sourceComponent: NotesScreen {
                view: area.notes
            }
        }

        Loader {
            active: area.view.screenIndex === 2 || item !== null
            sourceComponent: VocabularyScreen {
                view: area.vocabulary
            }
        }

        Loader {
            active: area.view.screenIndex === 3 || item !== null
            sourceComponent: PhoneScreen {
                view: area.phone
            }
        }
    }

    ColumnLayout {
        visible: area.view.settingsOpen
        anchors.fill: parent
        anchors.margins: 32
        spacing: 16

        RowLayout {
            Layout.fillWidth: true

            KavoText {
                text: qsTr("Settings") + " · " + area.view.settingsTitle
                weight: Font.Bold
                pixelSize: 24
                Layout.fillWidth: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }

            KavoButton {
                text: qsTr("Close")
                onClicked: area.view.settingsOpen = false
            }
        }

        Loader {
            active: area.view.settingsOpen || item !== null
            Layout.fillWidth: true
            Layout.fillHeight: true

            sourceComponent: SettingsPanel {
                objectName: "settingsPanel"
                view: area.settings
                tab: area.view.settingsTabIndex
                onTabChosen: index => area.view.settingsTabIndex = index
            }
        }
    }
}
