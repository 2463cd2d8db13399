import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo

// One entry of the sidebar's navigation: an icon and a name, highlighted while its screen is shown.
AbstractButton {
    id: item

    required property string glyph
    property bool current: false
    property string badge: ""

    Layout.fillWidth: true
    implicitHeight: 36
    leftPadding: 10
    rightPadding: 10
    focusPolicy: Qt.StrongFocus
    checkable: false
    checked: current
    Accessible.onPressAction: item.clicked()
    Accessible.name: badge ? text + ", " + badge : text
    Accessible.selected: current

    contentItem: RowLayout {
        spacing: 10

        KavoIcon {
            name: item.glyph
            size: 18
            color: item.current ? Tokens.brand : item.enabled ? Tokens.textBody : Tokens.textTertiary
        }

        KavoText {
            text: item.text
            weight: item.current ? Font.DemiBold : Font.Normal
            color: item.current ? Tokens.textPrimary : item.enabled ? Tokens.textBody : Tokens.textTertiary
            Layout.fillWidth: true
            elide: Text.ElideRight
        }

        KavoText {
            visible: item.badge !== ""
            text: item.badge
            pixelSize: 11
            color: Tokens.textSecondary
            leftPadding: 6
            rightPadding: 6
            topPadding: 2
            bottomPadding: 2

            Rectangle {
                anchors.fill: parent
                z: -1
                radius: height / 2
                color: Tokens.surfaceSunken
            }
        }
    }

    background: Rectangle {
        radius: 8
        color: item.current ? Tokens.surfaceBrandSoft : item.hovered ? Tokens.surfaceHover : "transparent"
        border.width: item.visualFocus ? 2 : 0
        border.color: Tokens.borderFocus
    }
}
