import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.History

// The History screen: the title, this week's statistics, the list's controls, and the entries under their days.
// Fills its parent. Required: `view`, the screen's HistoryView.
Item {
    id: screen

    required property HistoryView view

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 32
        spacing: 16

        RowLayout {
            spacing: 12
            Layout.fillWidth: true

            ColumnLayout {
                spacing: 4
                Layout.fillWidth: true

                KavoText {
                    text: qsTr("History")
                    weight: Font.Bold
                    pixelSize: 24
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }

                KavoText {
                    objectName: "statsLine"
                    text: screen.view.statsLine
                    pixelSize: 13
                    color: Tokens.textSecondary
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
            }

            Switch {
                id: discarded

                objectName: "discardedSwitch"
                text: qsTr("Discarded")
                checked: screen.view.showDiscarded
                focusPolicy: Qt.StrongFocus
                spacing: 8
                Accessible.name: text
                // Screen readers change `checked` without `toggled()`.
                onCheckedChanged: screen.view.showDiscarded = checked

                indicator: Rectangle {
                    x: discarded.leftPadding
                    y: (discarded.height - height) / 2
                    implicitWidth: 34
                    implicitHeight: 20
                    radius: 10
                    color: discarded.checked ? Tokens.brand : Tokens.neutral300
                    border.width: discarded.visualFocus ? 2 : 0
                    border.color: Tokens.borderFocus

                    Rectangle {
                        x: discarded.checked ? parent.width - width - 2 : 2
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        radius: 8
                        color: Tokens.textOnBrand
                    }
                }

                contentItem: KavoText {
                    text: discarded.text
                    leftPadding: discarded.indicator.width + discarded.spacing
                    verticalAlignment: Text.AlignVCenter
                    color: Tokens.textBody
                }
            }

            KavoButton {
                objectName: "clearButton"
                visible: screen.view.canClear
                text: screen.view.clearButton
                onClicked: screen.view.pressClear()
                onActiveFocusChanged: if (!activeFocus) screen.view.cancelClear()
                Keys.onEscapePressed: screen.view.cancelClear()
            }
        }

        ListView {
            id: list

            objectName: "historyList"
            visible: !screen.view.empty
            clip: true
            spacing: 8
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            model: screen.view.entries
            Layout.fillWidth: true
            Layout.fillHeight: true
            ScrollBar.vertical: ScrollBar {}

            section.property: "day"
            section.criteria: ViewSection.FullString
            section.delegate: dayHeading

            delegate: HistoryCard {
                view: screen.view
            }
        }

        // Qt 6.4 makes section headings outside this document's context, so their component is not bound to it.
        Component {
            id: dayHeading

            DayHeading {}
        }

        ColumnLayout {
            objectName: "emptyState"
            visible: screen.view.empty
            spacing: 8
            Layout.fillWidth: true
            Layout.fillHeight: true

            Item {
                Layout.fillHeight: true
            }

            KavoIcon {
                name: "history"
                size: 32
                color: Tokens.textTertiary
                Layout.alignment: Qt.AlignHCenter
            }

            KavoText {
                text: screen.view.emptyTitle
                weight: Font.DemiBold
                pixelSize: 16
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
            }

            KavoText {
                text: screen.view.emptyDetail
                color: Tokens.textSecondary
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
            }

            Item {
                Layout.fillHeight: true
            }
        }
    }
}
