import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.Settings

// The settings panel: the list of tabs beside the shown tab, which scrolls. The main window draws the heading and
// the Close button around it.
//   view — the panel's state (SettingsView), owned by the application.
//   tab  — the shown tab: General 0, Shortcuts 1, AI and languages 2, Microphone 3, Advanced 4; a press on a tab's
//          button asks for it through tabChosen().
Item {
    id: panel

    required property SettingsView view
    property int tab: 0

    // A tab's button was pressed; whoever owns `tab` shows that tab.
    signal tabChosen(int index)

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Column {
            Layout.preferredWidth: 210
            Layout.fillHeight: true
            Layout.topMargin: 16
            leftPadding: 12
            rightPadding: 12
            spacing: 2

            Repeater {
                model: [{
                        "title": qsTr("General"),
                        "glyph": "sliders-horizontal"
                    }, {
                        "title": qsTr("Shortcuts"),
                        "glyph": "keyboard"
                    }, {
                        "title": qsTr("AI and languages"),
                        "glyph": "sparkles"
                    }, {
                        "title": qsTr("Microphone"),
                        "glyph": "mic"
                    }, {
                        "title": qsTr("Advanced"),
                        "glyph": "wrench"
                    }]

                delegate: SettingsTabButton {
                    required property var modelData
                    required property int index

                    width: 186
                    text: modelData.title
                    glyph: modelData.glyph
                    current: panel.tab === index
                    onClicked: panel.tabChosen(index)
                }
            }
        }

        Rectangle {
            Layout.fillHeight: true
            Layout.preferredWidth: 1
            color: Tokens.borderDefault
        }

        Flickable {
            id: scroller

            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentHeight: page.implicitHeight + 40
            boundsBehavior: Flickable.StopAtBounds

            ScrollBar.vertical: ScrollBar {}

            // Keeps the control that Tab reaches in sight.
            Connections {
                target: panel.Window.window

                function onActiveFocusItemChanged() {
                    const item = panel.Window.activeFocusItem
                    if (!item || !page.item || !page.item.contains(item.mapToItem(page.item, 0, 0)))
                        return
                    const top = item.mapToItem(page, 0, 0).y + page.y
                    if (top < scroller.contentY + 20)
                        scroller.contentY = Math.max(0, top - 20)
                    else if (top + item.height > scroller.contentY + scroller.height - 20)
                        scroller.contentY = Math.min(scroller.contentHeight - scroller.height,
                                                     top + item.height - scroller.height + 20)
                }
            }

            Loader {
                id: page

                x: 20
                y: 20
                width: scroller.width - 40
                sourceComponent: [general, shortcuts, ai, microphone, advanced][panel.tab]
                onLoaded: scroller.contentY = 0
            }
        }
    }

    Component {
        id: general

        GeneralTab {
            view: panel.view
        }
    }

    Component {
        id: shortcuts

        ShortcutsTab {
            view: panel.view
        }
    }

    Component {
        id: ai

        AiTab {
            view: panel.view
        }
    }

    Component {
        id: microphone

        MicrophoneTab {
            view: panel.view
        }
    }

    Component {
        id: advanced

        AdvancedTab {
            view: panel.view
        }
    }
}
