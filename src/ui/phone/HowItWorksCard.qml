import QtQuick
import QtQuick.Layouts
import Kavo

// The three steps of recording on the phone.
Rectangle {
    implicitHeight: column.implicitHeight + 48
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    ColumnLayout {
        id: column

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 24
        spacing: 14

        KavoText {
            text: qsTr("How it works")
            weight: Font.DemiBold
            pixelSize: 16
            Layout.fillWidth: true
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        Repeater {
            model: [qsTr("Scan the QR code with your phone's camera."), qsTr(
                    "On the page that opens, tap the microphone and talk."), qsTr(
                    "Tap «Kompyuterga yuborish» — the text appears in History.")]

            delegate: RowLayout {
                id: step

                required property int index
                required property string modelData

                spacing: 12
                Layout.fillWidth: true

                Rectangle {
                    implicitWidth: 24
                    implicitHeight: 24
                    radius: 12
                    color: Tokens.surfaceBrandSoft
                    Layout.alignment: Qt.AlignTop

                    KavoText {
                        anchors.centerIn: parent
                        text: step.index + 1
                        weight: Font.DemiBold
                        pixelSize: 12
                        color: Tokens.textLink
                        Accessible.ignored: true
                    }
                }

                KavoText {
                    text: step.modelData
                    color: Tokens.textBody
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                    Layout.topMargin: 2
                }
            }
        }

        KavoText {
            text: qsTr("Nothing needs to be installed on the phone. The audio comes straight to your computer.")
            color: Tokens.textSecondary
            pixelSize: 13
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Layout.topMargin: 4
        }
    }
}
