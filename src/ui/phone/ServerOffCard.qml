import QtQuick
import QtQuick.Layouts
import Kavo
import Kavo.Phone

// In place of the connection card while the phone server is off: what it is, and the button that starts it.
Rectangle {
    id: card

    required property PhoneView view

    // The server was turned on from here: this card goes away with the focus it held.
    signal turnedOn

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
        spacing: 8

        Rectangle {
            implicitWidth: 48
            implicitHeight: 48
            radius: 24
            color: Tokens.surfaceSunken
            Layout.alignment: Qt.AlignHCenter
            Layout.bottomMargin: 8

            KavoIcon {
                anchors.centerIn: parent
                name: "smartphone"
                color: Tokens.textSecondary
                size: 22
            }
        }

        KavoText {
            text: qsTr("The phone server is off")
            weight: Font.DemiBold
            pixelSize: 16
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        KavoText {
            text: qsTr("It works only on this Wi-Fi, through a secret link.")
            color: Tokens.textSecondary
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        KavoButton {
            objectName: "turnOn"
            primary: true
            text: qsTr("Turn on")
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 8
            onClicked: {
                card.view.turnOn();
                card.turnedOn();
            }
        }
    }
}
