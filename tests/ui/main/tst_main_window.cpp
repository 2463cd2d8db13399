#include "dictation/dictation_state.h"
#include "format/format.h"
#include "state/input_access.h"
#include "state/key_check.h"
#include "state/phone_status.h"
#include "state/toasts.h"
#include "store/data_actions.h"
#include "store/data_stores.h"
#include "store/settings.h"
#include "support/data_folder.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/history/history_view.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"
#include "ui/main/main_view.h"
#include "ui/main/permissions_view.h"
#include "ui/notes/notes_view.h"
#include "ui/phone/phone_view.h"
#include "ui/settings/data_view.h"
#include "ui/settings/settings_view.h"
#include "ui/vocabulary/vocabulary_view.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

void qml_register_types_Kavo_History();
void qml_register_types_Kavo_Main();
void qml_register_types_Kavo_Notes();
void qml_register_types_Kavo_Phone();
void qml_register_types_Kavo_Settings();
void qml_register_types_Kavo_Vocabulary();

using namespace kavo;
using Phase = DictationState::Phase;
using test::row;

class MainWindowTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    DataStores m_stores;
    Settings& m_settings = m_stores.settings;
    DataActions m_dataActions { m_stores };
    DictationState m_dictation;
    Navigation m_navigation;
    Toasts m_toasts;
    PhoneStatus m_phoneStatus;
    // The screens, which the main window shows one at a time.
    HistoryView m_historyView { m_stores.history, m_dictation, m_settings, m_toasts };
    NotesView m_notesView { m_stores.notes, m_dictation, m_toasts };
    VocabularyView m_vocabularyView { m_settings, m_dataActions, m_toasts };
    PhoneView m_phoneView { m_phoneStatus, m_settings, m_stores.history, m_toasts };
    KeyCheck m_keyCheck;
    DataView m_dataView { m_dataActions, m_toasts };
    SettingsView m_settingsView { m_settings, m_keyCheck, m_phoneStatus, m_dataView };
    bool m_inputGranted = false;
    InputAccess m_inputAccess { [this] { return m_inputGranted; } };

    std::unique_ptr<QQuickWindow> window(const QString& name, QObject* view)
    {
        QVariantMap properties { { u"view"_qs, QVariant::fromValue(view) } };
        if (name == u"MainWindow") {
            properties.insert(u"toasts"_qs, QVariant::fromValue(&m_toasts));
            properties.insert(u"history"_qs, QVariant::fromValue(&m_historyView));
            properties.insert(u"notes"_qs, QVariant::fromValue(&m_notesView));
            properties.insert(u"vocabulary"_qs, QVariant::fromValue(&m_vocabularyView));
            properties.insert(u"phone"_qs, QVariant::fromValue(&m_phoneView));
            properties.insert(u"settings"_qs, QVariant::fromValue(&m_settingsView));
        }
        QQmlComponent component(&m_engine, QUrl(u"qrc:/qt/qml/Kavo/Main/%1.qml"_qs.arg(name)));
        if (!component.isReady())
            qFatal("%s", qPrintable(component.errorString()));
        std::unique_ptr<QObject> object(component.createWithInitialProperties(properties));
        auto window = std::unique_ptr<QQuickWindow>(qobject_cast<QQuickWindow*>(object.release()));
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not shown");
        return window;
    }

    static QQuickItem* toastItem(QQuickWindow& window) { return window.findChild<QQuickItem*>(u"toast"_qs); }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_History();
        qml_register_types_Kavo_Main();
        qml_register_types_Kavo_Notes();
        qml_register_types_Kavo_Phone();
        qml_register_types_Kavo_Settings();
        qml_register_types_Kavo_Vocabulary();
    }

    // A window's scene graph gives its textures back through deferred deletes.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The card's texts follow the phase and the hotkey mode.
    void dictationCard_data()
    {
        test::columns<Phase, HotkeyMode, QString, QString, QString>({ "phase", "mode", "status", "hint", "button" });
        const QString hold = u"Hold and talk. When you let go, the text is typed where the cursor is."_qs;
        const QString toggle = u"Press once and talk. Press again and the text is typed."_qs;
        row("idle, hold", Phase::idle, HotkeyMode::hold, "Ready", hold, "Try it");
        row("recording, toggle", Phase::recording, HotkeyMode::toggle, "Listening…", toggle, "Stop");
        row("working", Phase::working, HotkeyMode::hold, "Ready", hold, "Try it");
        row("failed", Phase::failed, HotkeyMode::toggle, "Error", toggle, "Try it");
    }

    void dictationCard()
    {
        const auto [phase, mode] = test::fetch<Phase, HotkeyMode>({ "phase", "mode" });
        DictationState dictation;
        Settings settings;
        const MainView view(m_navigation, dictation, settings);
        QSignalSpy changes(&view, &MainView::dictationChanged);
        settings.setHotkeyMode(mode);
        dictation.setPhase(phase);
        QCOMPARE(changes.count(), int(mode != HotkeyMode::hold) + int(phase != Phase::idle));
        QTEST(view.dictationStatus(), "status");
        QTEST(view.dictationHint(), "hint");
        QTEST(view.dictationButton(), "button");
    }

    // Every control is reached with Tab and has a name; the keyboard alone moves between screens, the search takes
    // the focus when asked, and requests from elsewhere open the screen or settings tab asked for.
    void keyboardAndNavigation()
    {
        MainView view(m_navigation, m_dictation, m_settings);
        const auto main = window(u"MainWindow"_qs, &view);
        QSignalSpy toggled(&view, &MainView::dictationToggled);
        QSignalSpy left(&view, &MainView::screenLeft);
        QCOMPARE(test::tabOrder(*main, 12).join(u'|'),
            "Search|History|Notes|Vocabulary|From phone|Try it|Settings|Discarded");

        view.focusSearch();
        QTRY_COMPARE(test::focusedName(*main), "Search");
        for (const char key : { 'b', 'u', 'd' })
            QTest::keyClick(main.get(), key);
        QCOMPARE(view.search(), "bud");
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Space);
        QCOMPARE(view.screen(), Navigation::Screen::notes);
        QCOMPARE(left.takeFirst().at(0).value<Navigation::Screen>(), Navigation::Screen::history);
        for (int press = 0; press < 3; ++press)
            QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Space);
        QCOMPARE(toggled.count(), 1);
        QTest::keyClick(main.get(), Qt::Key_Tab);
        QTest::keyClick(main.get(), Qt::Key_Space);
        QVERIFY(view.isSettingsOpen());
        QCOMPARE(view.settingsTitle(), "General");

        Q_EMIT m_navigation.settingsRequested(Navigation::SettingsTab::ai);
        QCOMPARE(view.settingsTitle(), "AI and languages");
        // The panel shows the tab asked for, and a press on another tab's button goes through the window's state.
        QObject* panel = main->findChild<QObject*>(u"settingsPanel"_qs);
        QCOMPARE(panel->property("tab").toInt(), int(Navigation::SettingsTab::ai));
        QMetaObject::invokeMethod(panel, "tabChosen", Q_ARG(int, int(Navigation::SettingsTab::microphone)));
        QCOMPARE(view.settingsTitle(), "Microphone");
        QCOMPARE(panel->property("tab").toInt(), int(Navigation::SettingsTab::microphone));
        view.setScreen(Navigation::Screen::phone);
        Q_EMIT m_navigation.noteRequested(QUuid::createUuid());
        QCOMPARE(view.screen(), Navigation::Screen::notes);
    }

    // A toast shows in the window with its tone's glyph and is read out with its detail; it goes by itself.
    void toast()
    {
        MainView view(m_navigation, m_dictation, m_settings);
        const auto main = window(u"MainWindow"_qs, &view);
        QQuickItem* toast = toastItem(*main);
        QVERIFY(!toast->isVisible());
        m_toasts.show(u"Exported"_qs, u"kavo-voice-2026-12-07.zip"_qs, Toasts::Tone::success);
        QTRY_COMPARE(toast->opacity(), 1.0);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(toast);
        QCOMPARE(accessible->role(), QAccessible::AlertMessage);
        QCOMPARE(accessible->text(QAccessible::Name), "Exported. kavo-voice-2026-12-07.zip");
        QCOMPARE(toast->property("tone").toMap().value(u"glyph"_qs), "circle-check");
        m_toasts.show(u"Deleted"_qs, {}, Toasts::Tone::info);
        QCOMPARE(accessible->text(QAccessible::Name), "Deleted");
        QCOMPARE(toast->property("tone").toMap().value(u"glyph"_qs), "info");
        QTRY_VERIFY_WITH_TIMEOUT(!toast->isVisible(), 5000);
    }

    // The data buttons report with toasts: an export names its file, a chooser that gave no local file does nothing.
    void dataActions()
    {
        DataStores stores;
        DataActions actions(stores);
        Toasts toasts;
        DataView data(actions, toasts);
        QVERIFY(DataView::archiveName().startsWith(u"kavo-voice-"_qs + QDate::currentDate().toString(Qt::ISODate)));
        QVERIFY(!data.exportAll(QUrl(u"https://example.org/all.zip"_qs)));
        QVERIFY(!toasts.current());
        const QString path = QDir::temp().filePath(u"kavo-main-window-export.zip"_qs);
        QVERIFY(data.exportAll(QUrl::fromLocalFile(path)));
        QVERIFY(QFile::remove(path));
        QCOMPARE(toasts.current()->title, "Exported");
        QCOMPARE(toasts.current()->detail, "kavo-main-window-export.zip");

        HistoryEntry entry;
        entry.text = u"Salom"_qs;
        stores.history.change([&](History& history) { history.add(entry); });
        data.wipe();
        QVERIFY(stores.history.entries().isEmpty());
        QCOMPARE(toasts.current()->title, "Data deleted");
        QCOMPARE(toasts.current()->detail, "History, notes and vocabulary were cleared");
        QCOMPARE(toasts.current()->tone, Toasts::Tone::info);
    }

    void permissions()
    {
        bool microphone = false;
        PermissionsView view(
            m_inputAccess, [&] { return microphone; }, true);
        QVERIFY(!view.isMicrophoneGranted() && !view.isInputGranted());
        QCOMPARE(view.command(), "sudo usermod -aG input $USER");
        view.watchMicrophone(std::chrono::milliseconds(50));
        microphone = true;
        QTRY_VERIFY_WITH_TIMEOUT(view.isMicrophoneGranted(), 1000);
        view.stopWatchingMicrophone();
        microphone = false;
        QTest::qWait(200);
        QVERIFY(view.isMicrophoneGranted());
        QVERIFY(PermissionsView(
            m_inputAccess, [] { return true; }, false)
                    .command()
                    .isEmpty());
    }

    // The windows in both appearances, for people to look at.
    void screenshots()
    {
        MainView view(m_navigation, m_dictation, m_settings);
        m_settings.setHotkeyMode(HotkeyMode::hold);
        PermissionsView permissions(
            m_inputAccess, [] { return true; }, true);
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            const QString suffix = dark ? u"-dark"_qs : u"-light"_qs;
            const auto main = window(u"MainWindow"_qs, &view);
            m_toasts.show(u"Copied"_qs, Format::wordCount(12), Toasts::Tone::success);
            QTRY_VERIFY(toastItem(*main)->opacity() == 1);
            test::screenshot(*main, u"main-window"_qs + suffix);
            const auto permissionsWindow = window(u"PermissionsWindow"_qs, &permissions);
            test::screenshot(*permissionsWindow, u"permissions-window"_qs + suffix);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
