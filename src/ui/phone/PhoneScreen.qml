import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Phone

// The "From phone" screen: the phone server's state and QR link, how to use it, and the recordings made on the
// phone. One list scrolls the whole page, so a long History of phone recordings stays light.
//
// Required: `view`, the screen's state and actions (PhoneView).
ListView {
    id: page

    required property PhoneView view

    readonly property int pageMargin: 32
    // The list keeps its first row in place when the header above it changes height; while the reader has not
    // scrolled away from the top, the page's top stays in view instead.
    property bool keepsTop: true

    clip: true
    reuseItems: true
    spacing: 8
    topMargin: pageMargin
    bottomMargin: pageMargin
    leftMargin: pageMargin
    rightMargin: pageMargin
    boundsBehavior: Flickable.StopAtBounds
    onMovementEnded: keepsTop = atYBeginning

    function showTop() {
        contentY = originY - topMargin;
    }
    model: page.view.recordings
    ScrollBar.vertical: ScrollBar {}

    // The list makes its header after the first rows; Tab follows the order of the items, so the header is moved
    // first for the keyboard to reach the page from the top.
    onHeaderItemChanged: if (headerItem && contentItem.children[0] !== headerItem)
        headerItem.stackBefore(contentItem.children[0])

    header: ColumnLayout {
        width: page.width - page.leftMargin - page.rightMargin
        spacing: 0
        onHeightChanged: if (page.keepsTop)
            Qt.callLater(page.showTop)

        KavoText {
            text: qsTr("Record from your phone")
            weight: Font.Bold
            pixelSize: 24
            Layout.fillWidth: true
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        KavoText {
            text: qsTr("Talk even when you are away from the computer — the text appears here.")
            color: Tokens.textSecondary
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Layout.topMargin: 6
        }

        WarningNote {
            objectName: "serverError"
            visible: page.view.error !== ""
            text: page.view.error
            Layout.fillWidth: true
            Layout.topMargin: 20
        }

        GridLayout {
            columns: width >= 620 ? 2 : 1
            columnSpacing: 16
            rowSpacing: 16
            Layout.fillWidth: true
            Layout.topMargin: 24

            ConnectionCard {
                id: connectionCard

                visible: page.view.serverOn
                view: page.view
                Layout.preferredWidth: 300
                Layout.fillWidth: parent.columns === 1
                Layout.fillHeight: true
            }

            ServerOffCard {
                visible: !page.view.serverOn
                view: page.view
                Layout.preferredWidth: 300
                Layout.fillWidth: parent.columns === 1
                Layout.fillHeight: true
                onTurnedOn: connectionCard.focusButton()
            }

            HowItWorksCard {
                Layout.fillWidth: true
                Layout.fillHeight: true
            }
        }

        KavoText {
            text: qsTr("Recordings from the phone")
            weight: Font.DemiBold
            pixelSize: 18
            Layout.fillWidth: true
            Layout.topMargin: 32
            Layout.bottomMargin: 12
            Accessible.role: Accessible.Heading
            Accessible.name: text
        }

        Rectangle {
            visible: page.view.recordings.empty
            implicitHeight: 72
            radius: 12
            color: Tokens.surfaceSubtle
            border.color: Tokens.borderDefault
            Layout.fillWidth: true

            KavoText {
                anchors.centerIn: parent
                text: qsTr("No recordings from the phone yet.")
                color: Tokens.textSecondary
            }
        }
    }

    delegate: RecordingRow {
        width: page.width - page.leftMargin - page.rightMargin
        view: page.view
        onCopyFocusedChanged: if (copyFocused)
            page.positionViewAtIndex(index, ListView.Contain)
    }
}
