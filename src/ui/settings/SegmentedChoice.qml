import QtQuick
import QtQuick.Controls
import Kavo
import Kavo.Settings

// A segmented control over a setting's choice: one button per option, the current one raised.
Rectangle {
    id: segmented

    required property SettingChoice choice
    required property string name

    implicitWidth: buttons.implicitWidth + 6
    implicitHeight: 36
    radius: 9
    color: Tokens.surfaceSunken

    Row {
        id: buttons

        anchors.centerIn: parent
        spacing: 2

        Repeater {
            model: segmented.choice.labels

            delegate: AbstractButton {
                id: segment

                required property string modelData
                required property int index
                readonly property bool current: index === segmented.choice.currentIndex

                text: modelData
                implicitHeight: 30
                leftPadding: 14
                rightPadding: 14
                focusPolicy: Qt.StrongFocus
                Accessible.role: Accessible.RadioButton
                Accessible.name: segmented.name + ": " + text
                Accessible.checked: current
                Accessible.onPressAction: segment.clicked()
                onClicked: segmented.choice.choose(index)

                contentItem: KavoText {
                    text: segment.text
                    weight: segment.current ? Font.DemiBold : Font.Medium
                    color: segment.current ? Tokens.textPrimary : Tokens.textSecondary
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }

                background: Rectangle {
                    radius: 7
                    color: segment.current ? Tokens.surfaceCard : segment.hovered ? Tokens.surfaceHover
                                                                                   : Tokens.surfaceSunken
                    border.width: segment.visualFocus ? 2 : segment.current ? 1 : 0
                    border.color: segment.visualFocus ? Tokens.borderFocus : Tokens.borderDefault
                }
            }
        }
    }
}
