import QtQuick
import QtQuick.Controls
import Kavo

// An on/off switch drawn with the design tokens; screen readers read `Accessible.name`.
Switch {
    id: control

    focusPolicy: Qt.StrongFocus
    padding: 0

    indicator: Rectangle {
        implicitWidth: 38
        implicitHeight: 22
        radius: height / 2
        color: control.checked ? Tokens.brand : Tokens.neutral300
        border.width: control.visualFocus ? 2 : 0
        border.color: Tokens.borderFocus

        Rectangle {
            x: control.checked ? parent.width - width - 3 : 3
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            radius: 8
            color: Tokens.textOnBrand

            Behavior on x {
                NumberAnimation {
                    duration: 120
                }
            }
        }
    }
}
