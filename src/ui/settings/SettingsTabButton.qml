import QtQuick
import QtQuick.Controls
import Kavo

// One entry of the settings panel's tab list: an icon and the tab's title, highlighted while its tab is shown.
AbstractButton {
    id: entry

    required property string glyph
    property bool current: false

    implicitHeight: 36
    leftPadding: 10
    rightPadding: 10
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.PageTab
    Accessible.name: text
    Accessible.selected: current
    Accessible.onPressAction: entry.clicked()

    contentItem: Row {
        spacing: 10

        KavoIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: entry.glyph
            size: 18
            color: entry.current ? Tokens.info : Tokens.textSecondary
        }

        KavoText {
            anchors.verticalCenter: parent.verticalCenter
            text: entry.text
            weight: entry.current ? Font.DemiBold : Font.Medium
            color: entry.current ? Tokens.textPrimary : Tokens.textBody
        }
    }

    background: Rectangle {
        radius: 8
        color: entry.current ? Tokens.surfaceBrandSoft : entry.hovered ? Tokens.surfaceHover : Tokens.bgApp
        border.width: entry.visualFocus ? 2 : 0
        border.color: Tokens.borderFocus
    }
}
