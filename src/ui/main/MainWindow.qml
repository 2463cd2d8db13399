import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kavo
import Kavo.History
import Kavo.Main
import Kavo.Notes
import Kavo.Phone
import Kavo.Settings
import Kavo.Vocabulary

// The main window: the sidebar and the screen area.
ApplicationWindow {
    id: window

    required property MainView view
    required property Toasts toasts
    required property HistoryView history
    required property NotesView notes
    required property VocabularyView vocabulary
    required property PhoneView phone
    required property SettingsView settings

    title: "Kavo Voice"
    width: 1040
    height: 680
    minimumWidth: 760
    minimumHeight: 480
    color: Tokens.bgApp

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Sidebar {
            view: window.view
            Layout.fillHeight: true
            Layout.preferredWidth: 264
        }

        Rectangle {
            Layout.fillHeight: true
            Layout.preferredWidth: 1
            color: Tokens.borderDefault
        }

        ScreenArea {
            view: window.view
            history: window.history
            notes: window.notes
            vocabulary: window.vocabulary
            phone: window.phone
            settings: window.settings
            Layout.fillWidth: true
            Layout.fillHeight: true
        }
    }

    ToastView {
        objectName: "toast"
        toasts: window.toasts
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.horizontalCenterOffset: 132
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 24
    }
}
