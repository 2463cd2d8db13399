import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Shapes
import Kavo
import Kavo.Phone

// The running phone server: the QR code of its link, whether the phone is in touch, and the button that makes a
// new link. Right-click on the code, or the menu key while it has the focus, offers to copy the link.
Rectangle {
    id: card

    required property PhoneView view

    function focusButton() {
        newCodeButton.forceActiveFocus(Qt.TabFocusReason);
    }

    implicitHeight: column.implicitHeight + 48
    radius: 12
    color: Tokens.surfaceCard
    border.color: Tokens.borderDefault

    ColumnLayout {
        id: column

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.margins: 24
        spacing: 14

        Rectangle {
            id: plate

            implicitWidth: 200
            implicitHeight: 200
            radius: 10
            color: code.available ? Tokens.qrPlate : Tokens.surfaceSubtle
            border.width: code.activeFocus ? 2 : 1
            border.color: code.activeFocus ? Tokens.borderFocus : Tokens.borderDefault
            Layout.alignment: Qt.AlignHCenter

            QRCodeItem {
                id: code

                objectName: "qrCode"
                anchors.fill: parent
                anchors.margins: 6
                visible: available
                text: card.view.firstLink
                moduleColor: Tokens.qrModule
                plateColor: Tokens.qrPlate
                activeFocusOnTab: visible
                Accessible.role: Accessible.Graphic
                Accessible.name: qsTr("QR code for the phone")
                Accessible.focusable: true
                Keys.onPressed: event => {
                    if (event.key === Qt.Key_Menu || (event.key === Qt.Key_F10 && (event.modifiers
                                                                                       & Qt.ShiftModifier))) {
                        linkMenu.openedByKeyboard = true;
                        linkMenu.popup(code, code.width / 2, code.height / 2);
                        event.accepted = true;
                    }
                }

                TapHandler {
                    acceptedButtons: Qt.RightButton
                    onTapped: {
                        linkMenu.openedByKeyboard = false;
                        linkMenu.popup();
                    }
                }

                Menu {
                    id: linkMenu

                    // A closing menu leaves the focus nowhere; the keyboard user goes on from the code.
                    property bool openedByKeyboard

                    objectName: "linkMenu"
                    onClosed: if (openedByKeyboard)
                        code.forceActiveFocus(Qt.PopupFocusReason)

                    MenuItem {
                        text: qsTr("Copy link")
                        Accessible.onPressAction: triggered()
                        onTriggered: card.view.copyLink()
                    }
                }
            }

            Item {
                objectName: "qrPlaceholder"
                anchors.fill: parent
                anchors.margins: 24
                visible: !code.available
                Accessible.role: Accessible.Graphic
                Accessible.name: qsTr("QR code — no link yet")

                Shape {
                    id: outline

                    anchors.fill: parent

                    ShapePath {
                        strokeColor: Tokens.borderStrong
                        strokeWidth: 2
                        strokeStyle: ShapePath.DashLine
                        dashPattern: [4, 3]
                        fillColor: "transparent"
                        startX: 1
                        startY: 1

                        PathLine { x: outline.width - 1; y: 1 }
                        PathLine { x: outline.width - 1; y: outline.height - 1 }
                        PathLine { x: 1; y: outline.height - 1 }
                        PathLine { x: 1; y: 1 }
                    }
                }

                KavoIcon {
                    anchors.centerIn: parent
                    name: "qr-code"
                    color: Tokens.textTertiary
                    size: 40
                }
            }
        }

        RowLayout {
            spacing: 8
            Layout.alignment: Qt.AlignHCenter

            Rectangle {
                id: dot

                objectName: "statusDot"
                implicitWidth: 10
                implicitHeight: 10
                radius: 5
                color: card.view.connected ? Tokens.green500 : Tokens.neutral400

                SequentialAnimation on opacity {
                    running: card.view.connected && card.visible
                    loops: Animation.Infinite
                    alwaysRunToEnd: true

                    NumberAnimation { to: 0.3; duration: 900; easing.type: Easing.InOutSine }
                    NumberAnimation { to: 1; duration: 900; easing.type: Easing.InOutSine }
                }
            }

            KavoText {
                objectName: "statusLine"
                text: card.view.statusLine
                weight: Font.DemiBold
                wrapMode: Text.Wrap
                Layout.maximumWidth: column.width - dot.width - 8
            }
        }

        KavoButton {
            id: newCodeButton

            objectName: "newCode"
            text: card.view.buttonText
            Layout.alignment: Qt.AlignHCenter
            onClicked: card.view.newCode()
        }
    }
}
