import QtQuick
import QtQuick.Controls
import Kavo
import Kavo.Settings

// A drop-down drawn with the design tokens over a setting's choice: its labels, the current one, and choosing.
ComboBox {
    id: box

    required property SettingChoice choice

    implicitHeight: 34
    implicitWidth: 220
    leftPadding: 10
    rightPadding: 30
    focusPolicy: Qt.StrongFocus
    font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)
    model: choice.labels
    currentIndex: choice.currentIndex
    onActivated: index => box.choice.choose(index)

    contentItem: KavoText {
        text: box.displayText
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: KavoIcon {
        x: box.width - width - 10
        y: (box.height - height) / 2
        name: "chevron-down"
        size: 14
        color: Tokens.textSecondary
    }

    background: Rectangle {
        radius: 8
        color: box.hovered ? Tokens.surfaceHover : Tokens.surfaceCard
        border.width: box.visualFocus ? 2 : 1
        border.color: box.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
    }

    delegate: ItemDelegate {
        id: option

        required property string modelData
        required property int index

        width: box.popup.width - 8
        x: 4
        implicitHeight: 32
        highlighted: box.highlightedIndex === index

        contentItem: KavoText {
            text: option.modelData
            weight: option.index === box.currentIndex ? Font.DemiBold : Font.Normal
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }

        background: Rectangle {
            radius: 6
            color: option.highlighted ? Tokens.surfaceHover : Tokens.surfaceCard
        }
    }

    popup: Popup {
        y: box.height + 4
        width: box.width
        padding: 4
        implicitHeight: Math.min(contentItem.implicitHeight + 8, 320)

        contentItem: ListView {
            implicitHeight: contentHeight
            clip: true
            model: box.popup.visible ? box.delegateModel : null
            currentIndex: box.highlightedIndex
        }

        background: Rectangle {
            radius: 8
            color: Tokens.surfaceCard
            border.color: Tokens.borderDefault
        }
    }
}
