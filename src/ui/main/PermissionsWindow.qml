import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Main

// Shown at launch when access that set-up had is missing again.
ApplicationWindow {
    id: window

    required property PermissionsView view

    title: "Kavo Voice"
    width: 560
    height: column.implicitHeight + 48
    color: Tokens.bgApp
    flags: Qt.Dialog
    onClosing: window.view.finish()

    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 24
        spacing: 14

        KavoText {
            text: qsTr("Kavo Voice needs your permission again")
            weight: Font.Bold
            pixelSize: 20
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        KavoText {
            text: qsTr("Some access Kavo Voice had is missing now. Until you turn it on again, the hotkey and dictation do not work.")
            color: Tokens.textBody
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        PermissionRow {
            icon: "mic"
            title: qsTr("Microphone")
            granted: window.view.microphoneGranted
            help: qsTr("Connect a microphone, or check that the sound server (PulseAudio or PipeWire) runs.")
            actionText: qsTr("Check again")
            onActionClicked: window.view.checkMicrophone()
            Layout.fillWidth: true
        }

        PermissionRow {
            icon: "keyboard"
            title: qsTr("Input access")
            granted: window.view.inputGranted
            help: window.view.inputHelp
            command: window.view.command
            actionAvailable: window.view.command !== ""
            actionText: qsTr("Copy command")
            onActionClicked: window.view.copyCommand()
            Layout.fillWidth: true
        }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            spacing: 8

            KavoButton {
                text: qsTr("Later")
                onClicked: window.view.finish()
            }

            KavoButton {
                primary: true
                text: qsTr("Done")
                onClicked: window.view.finish()
            }
        }
    }
}
