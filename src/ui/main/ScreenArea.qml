import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Main

// Where the chosen screen, or the settings panel, is shown.
Item {
    id: area

    required property MainView view

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 32
        spacing: 16

        RowLayout {
            Layout.fillWidth: true

            KavoText {
                text: area.view.settingsOpen ? qsTr("Settings") + " · " + area.view.settingsTitle
                                             : area.view.screenTitle
                weight: Font.Bold
                pixelSize: 24
                Layout.fillWidth: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }

            KavoButton {
                visible: area.view.settingsOpen
                text: qsTr("Close")
                onClicked: area.view.settingsOpen = false
            }
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }
}
