import QtQuick
import QtQuick.Layouts
import Kavo

// One settings row: title and description at the start, the control at the end, and optional content across the
// row's width below them. Rows after the first in a card are set off by a line.
Item {
    id: row

    required property string title
    property string description: ""
    default property alias control: slot.data
    property alias below: belowSlot.data

    Layout.fillWidth: true
    implicitHeight: header.height + (belowSlot.implicitHeight > 0 ? belowSlot.implicitHeight + 12 : 0) + 28

    Rectangle {
        visible: row.y > 0
        width: parent.width
        height: 1
        color: Tokens.borderSubtle
    }

    Item {
        id: header

        y: 14
        width: parent.width
        height: Math.max(texts.implicitHeight, slot.implicitHeight)

        ColumnLayout {
            id: texts

            anchors.left: parent.left
            anchors.right: slot.left
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            KavoText {
                Layout.fillWidth: true
                text: row.title
                weight: Font.DemiBold
                wrapMode: Text.Wrap
            }

            KavoText {
                Layout.fillWidth: true
                visible: row.description !== ""
                text: row.description
                pixelSize: 13
                color: Tokens.textSecondary
                wrapMode: Text.Wrap
            }
        }

        Row {
            id: slot

            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 8
        }
    }

    Column {
        id: belowSlot

        anchors.top: header.bottom
        anchors.topMargin: 12
        width: parent.width
        spacing: 8
    }
}
