import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Phone

// One recording made on the phone: its text, when it came and its length, and a button that copies it.
Rectangle {
    id: row

    required property PhoneView view
    required property int index
    required property string recordingId
    required property string text
    required property string time
    required property string words
    readonly property bool copyFocused: copyButton.activeFocus

    implicitHeight: column.implicitHeight + 28
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    ColumnLayout {
        id: column

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 14
        spacing: 10

        KavoText {
            text: row.text
            color: Tokens.textBody
            wrapMode: Text.Wrap
            maximumLineCount: 4
            elide: Text.ElideRight
            Layout.fillWidth: true
        }

        RowLayout {
            spacing: 8
            Layout.fillWidth: true

            KavoIcon {
                name: "smartphone"
                color: Tokens.textTertiary
                size: 14
            }

            KavoText {
                text: row.time + " · " + row.words
                color: Tokens.textSecondary
                pixelSize: 12
                elide: Text.ElideRight
                Layout.fillWidth: true
            }

            KavoButton {
                id: copyButton

                objectName: "copyText"
                text: qsTr("Copy text")
                implicitHeight: 30
                onClicked: row.view.copyText(row.recordingId)
            }
        }
    }
}
