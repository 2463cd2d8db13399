import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The General tab: appearance, sounds, notifications, start at login, interface language and the floating button.
ColumnLayout {
    id: tab

    required property SettingsView view

    spacing: 12

    SettingsCard {
        SettingsRow {
            title: qsTr("Theme")
            description: qsTr("Light, dark or match the system")

            SegmentedChoice {
                objectName: "theme"
                choice: tab.view.theme
                name: qsTr("Theme")
            }
        }

        SwitchRow {
            title: qsTr("Dictation sounds")
            description: qsTr("A short signal when recording starts and ends")
            target: tab.view.settings
            field: "sounds"
        }

        SwitchRow {
            title: qsTr("Pause music")
            description: qsTr("Pauses music and video while you dictate")
            target: tab.view.settings
            field: "pauseMedia"
        }

        SwitchRow {
            title: qsTr("Turn off notifications")
            description: qsTr("Kavo Voice shows no notifications at all")
            target: tab.view.settings
            field: "notificationsOff"
        }

        SwitchRow {
            title: qsTr("Start with the computer")
            description: qsTr("The app waits in the background")
            target: tab.view
            field: "launchAtLogin"
        }

        SettingsRow {
            title: qsTr("Interface language")
            description: qsTr("The app restarts to switch the language")

            ChoiceBox {
                choice: tab.view.interfaceLanguage
                Accessible.name: qsTr("Interface language")
            }
        }

        SwitchRow {
            title: qsTr("Floating button")
            description: qsTr("Sits at the bottom of the screen; click it to dictate")
            target: tab.view.settings
            field: "hudVisible"
        }
    }
}
