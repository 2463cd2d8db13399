pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Main

// The sidebar: the mark, the search, the screens, the dictation card and the user's row.
Rectangle {
    id: sidebar

    required property MainView view

    color: Tokens.surfaceSubtle

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 6

        RowLayout {
            spacing: 8
            Layout.bottomMargin: 10

            Rectangle {
                implicitWidth: 28
                implicitHeight: 28
                radius: 8
                color: Tokens.logoBlue

                KavoIcon {
                    anchors.centerIn: parent
                    name: "audio-lines"
                    size: 18
                    color: Tokens.textOnBrand
                }
            }

            KavoText {
                text: "Kavo Voice"
                weight: Font.Bold
                pixelSize: 16
            }
        }

        KavoTextField {
            id: search

            Layout.fillWidth: true
            Layout.bottomMargin: 8
            glyph: "search"
            placeholderText: qsTr("Search")
            text: sidebar.view.search
            onTextEdited: sidebar.view.search = text

            Connections {
                target: sidebar.view
                function onSearchFocusChanged() { search.forceActiveFocus() }
            }
        }

        Repeater {
            // In the order of the screens.
            model: ["history", "notebook", "book-a", "smartphone"]

            NavigationItem {
                required property string modelData
                required property int index

                glyph: modelData
                text: sidebar.view.screenName(index)
                current: sidebar.view.screenIndex === index && !sidebar.view.settingsOpen
                onClicked: {
                    sidebar.view.screenIndex = index
                    sidebar.view.settingsOpen = false
                }
            }
        }

        NavigationItem {
            glyph: "users"
            text: qsTr("Meetings")
            badge: "Tez kunda"
            enabled: false
        }

        Item {
            Layout.fillHeight: true
        }

        DictationCard {
            view: sidebar.view
            Layout.fillWidth: true
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 8
            spacing: 8

            KavoText {
                text: sidebar.view.userName
                weight: Font.DemiBold
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoButton {
                text: qsTr("Settings")
                onClicked: sidebar.view.openSettings()
            }
        }
    }
}
