import QtQuick
import QtQuick.Layouts
import Kavo

// A warning on the page, such as the phone server's last error or why the hotkey cannot work.
Rectangle {
    id: note

    property string text

    implicitHeight: row.implicitHeight + 24
    radius: 10
    color: Tokens.warningBg
    border.color: Tokens.warningBorder
    Accessible.role: Accessible.AlertMessage
    Accessible.name: note.text

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.margins: 12
        spacing: 10

        KavoIcon {
            name: "triangle-alert"
            color: Tokens.warning
            size: 18
            Layout.alignment: Qt.AlignTop
        }

        KavoText {
            text: note.text
            color: Tokens.warning
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
    }
}
