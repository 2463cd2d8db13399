import QtQuick
import QtQuick.Controls
import Kavo

// A drop-down of plain text choices drawn with the design tokens.
ComboBox {
    id: choice

    implicitHeight: 34
    leftPadding: 10
    rightPadding: 30
    focusPolicy: Qt.StrongFocus
    font: Tokens.font(Font.Normal, Tokens.bodyPixelSize)

    contentItem: KavoText {
        text: choice.displayText
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: KavoIcon {
        x: choice.width - width - 10
        y: (choice.height - height) / 2
        name: "chevron-down"
        size: 14
        color: Tokens.textSecondary
    }

    background: Rectangle {
        radius: 8
        color: choice.hovered ? Tokens.surfaceHover : Tokens.surfaceCard
        border.width: choice.visualFocus ? 2 : 1
        border.color: choice.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
    }

    delegate: ItemDelegate {
        id: option

        required property string modelData
        required property int index

        width: choice.popup.width - 8
        x: 4
        implicitHeight: 32
        highlighted: choice.highlightedIndex === index

        contentItem: KavoText {
            text: option.modelData
            weight: option.index === choice.currentIndex ? Font.DemiBold : Font.Normal
            verticalAlignment: Text.AlignVCenter
        }

        background: Rectangle {
            radius: 6
            color: option.highlighted ? Tokens.surfaceHover : "transparent"
        }
    }

    popup: Popup {
        y: choice.height + 4
        width: Math.max(choice.width, 160)
        padding: 4
        implicitHeight: contentItem.implicitHeight + 8

        contentItem: ListView {
            implicitHeight: contentHeight
            model: choice.popup.visible ? choice.delegateModel : null
            currentIndex: choice.highlightedIndex
            interactive: false
        }

        background: Rectangle {
            radius: 8
            color: Tokens.surfaceCard
            border.color: Tokens.borderDefault
        }
    }
}
