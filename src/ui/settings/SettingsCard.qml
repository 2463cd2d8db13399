import QtQuick
import QtQuick.Layouts
import Kavo

// A card holding a group of settings rows, one under the other.
Rectangle {
    default property alias rows: column.data

    Layout.fillWidth: true
    implicitHeight: column.implicitHeight
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    ColumnLayout {
        id: column

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        spacing: 0
    }
}
