#include "state/key_check.h"
#include "state/phone_status.h"
#include "state/toasts.h"
#include "store/data_actions.h"
#include "store/data_stores.h"
#include "store/settings.h"
#include "store/settings_observer.h"
#include "support/quick_window.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/settings/data_view.h"
#include "ui/settings/settings_view.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

void qml_register_types_Kavo_Settings();

using namespace kavo;
using test::row;

namespace {

// Options as "value=label|…", or "label|…" when the values do not matter.
QString describe(const QList<SettingOption>& options, bool withValues = true)
{
    QStringList parts;
    for (const SettingOption& option : options)
        parts << (withValues ? option.value.toString() + u'=' + option.label : option.label);
    return parts.join(u'|');
}

} // namespace

class SettingsPanelTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;

    struct Fixture
    {
        Settings settings;
        KeyCheck keyCheck;
        PhoneStatus phone;
        DataStores stores;
        DataActions actions { stores };
        Toasts toasts;
        DataView data { actions, toasts };
        SettingsView view { settings, keyCheck, phone, data };
    };

    std::unique_ptr<QQuickWindow> panel(Fixture& fixture, int tab)
    {
        auto window = test::showScreen(m_engine, "Kavo.Settings", "SettingsPanel", &fixture.view);
        window->contentItem()->childItems().constFirst()->setProperty("tab", tab);
        return window;
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::prepareInterface(m_engine, m_tokens);
        qml_register_types_Kavo_Settings();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void models_data()
    {
        test::columns<QStringList, QString, QString>({ "offered", "configured", "options" });
        row("configured offered", QStringList { "gemini-3.8-flash", "gemini-3.8-pro" }, u"gemini-3.8-pro"_qs,
            u"gemini-3.8-flash=Gemini 3.8 Flash|gemini-3.8-pro=Gemini 3.8 Pro"_qs);
        row("configured missing goes first", QStringList { "gemini-3.8-pro" }, u"gemini-2.5-flash-lite"_qs,
            u"gemini-2.5-flash-lite=Gemini 2.5 Flash Lite|gemini-3.8-pro=Gemini 3.8 Pro"_qs);
        row("nothing offered", QStringList {}, u"gemini-3.8-flash"_qs, u"gemini-3.8-flash=Gemini 3.8 Flash"_qs);
        row("pieces not starting with a letter", QStringList {}, u"model-2b--x"_qs, u"model-2b--x=Model 2b  X"_qs);
    }
    void models()
    {
        const auto [offered, configured] = test::fetch<QStringList, QString>({ "offered", "configured" });
        QTEST(describe(SettingsOptions::models(offered, configured)), "options");
    }

    // A toggle removes a present code or appends an absent one; codes keep the table's order, unknown ones last.
    void languages_data()
    {
        test::columns<QStringList, QString, QStringList>({ "codes", "toggled", "result" });
        row("added before a later one", QStringList { "en-US" }, u"ru-RU"_qs, QStringList { "ru-RU", "en-US" });
        row("added after an earlier one", QStringList { "uz-UZ" }, u"ko-KR"_qs, QStringList { "uz-UZ", "ko-KR" });
        row("removed", QStringList { "ru-RU", "en-US" }, u"ru-RU"_qs, QStringList { "en-US" });
        row("last one removed", QStringList { "en-US" }, u"en-US"_qs, QStringList {});
        row("unknown codes sort last", QStringList { "xx-XX", "en-US" }, u"uz-UZ"_qs,
            QStringList { "uz-UZ", "en-US", "xx-XX" });
    }
    void languages()
    {
        const auto [codes, toggled] = test::fetch<QStringList, QString>({ "codes", "toggled" });
        QTEST(SettingsOptions::toggledLanguage(codes, toggled), "result");
    }

    void fixedOptions_data()
    {
        test::columns<QString, int, QString>({ "rule", "current", "labels" });
        row("hold time between", u"hold"_qs, 250, u"150 ms|200 ms|250 ms|300 ms|400 ms|500 ms|600 ms"_qs);
        row("hold time offered", u"hold"_qs, 300, u"150 ms|200 ms|300 ms|400 ms|500 ms|600 ms"_qs);
        row("hold time above", u"hold"_qs, 900, u"150 ms|200 ms|300 ms|400 ms|500 ms|600 ms|900 ms"_qs);
        row("history kept 14 days", u"days"_qs, 14, u"Forever|90 days|30 days|7 days|14 days"_qs);
        row("history forever", u"days"_qs, 0, u"Forever|90 days|30 days|7 days"_qs);
    }
    void fixedOptions()
    {
        const auto [rule, current] = test::fetch<QString, int>({ "rule", "current" });
        const auto options
            = rule == u"hold" ? SettingsOptions::holdTimes(current) : SettingsOptions::historyDays(current);
        QTEST(describe(options, false), "labels");
    }

    void microphones_data()
    {
        test::columns<QString, QString>({ "configured", "options" });
        row("system default", QString(), u"=System default|usb=USB Mic|hda=Built-in Audio"_qs);
        row("connected", u"hda"_qs, u"=System default|usb=USB Mic|hda=Built-in Audio"_qs);
        row("unplugged", u"bt"_qs, u"=System default|usb=USB Mic|hda=Built-in Audio|bt=Microphone not connected"_qs);
    }
    void microphones()
    {
        const QList<AudioInput> inputs { { u"usb"_qs, u"USB Mic"_qs }, { u"hda"_qs, u"Built-in Audio"_qs } };
        const auto [configured] = test::fetch<QString>({ "configured" });
        QTEST(describe(SettingsOptions::microphones(inputs, configured)), "options");
    }

    // Choosing a label writes the setting; the choice then shows that label.
    void choose_data()
    {
        test::columns<QByteArray, QString, QByteArray, QVariant>({ "choice", "label", "field", "stored" });
        row("theme", QByteArray("theme"), u"Dark"_qs, QByteArray("theme"), QVariant::fromValue(ThemeMode::dark));
        row("hold time", QByteArray("holdTime"), u"400 ms"_qs, QByteArray("holdThresholdMs"), QVariant(400));
        row("microphone back to the default", QByteArray("microphone"), u"System default"_qs,
            QByteArray("inputDeviceID"), QVariant(QString()));
        row("line break", QByteArray("newlineMode"), u"Alt + Return"_qs, QByteArray("newlineMode"),
            QVariant::fromValue(NewlineMode::altReturn));
    }
    void choose()
    {
        const auto [name, label, field] = test::fetch<QByteArray, QString, QByteArray>({ "choice", "label", "field" });
        Fixture fixture;
        fixture.settings.setHoldThresholdMs(250);
        fixture.settings.setInputDeviceID(u"unplugged"_qs);
        auto* choice = fixture.view.property(name).value<SettingChoice*>();
        QSignalSpy changes(choice, &SettingChoice::changed);
        choice->choose(int(choice->labels().indexOf(label)));
        QTEST(fixture.settings.property(field), "stored");
        QCOMPARE(choice->labels().value(choice->currentIndex()), label);
        QCOMPARE(changes.count(), 1);
    }

    // A setting changed elsewhere shows in its control, with its value added to the options when it is not one.
    void choiceFollowsSettings_data()
    {
        test::columns<QByteArray, QByteArray, QVariant, QString, int>(
            { "choice", "field", "value", "current", "count" });
        row("hold time", QByteArray("holdTime"), QByteArray("holdThresholdMs"), QVariant(250), u"250 ms"_qs, 7);
        row("history days", QByteArray("historyDays"), QByteArray("historyDays"), QVariant(14), u"14 days"_qs, 5);
        row("unplugged microphone", QByteArray("microphone"), QByteArray("inputDeviceID"), QVariant(u"usb"_qs),
            u"Microphone not connected"_qs, 3);
        row("model nobody offers", QByteArray("model"), QByteArray("model"), QVariant(u"gemini-1.0-pro"_qs),
            u"Gemini 1.0 Pro"_qs, 3);
    }
    void choiceFollowsSettings()
    {
        const auto [name, field, value] = test::fetch<QByteArray, QByteArray, QVariant>({ "choice", "field", "value" });
        Fixture fixture;
        fixture.keyCheck.setModels({ u"gemini-3.8-flash"_qs, u"gemini-3.8-pro"_qs });
        fixture.view.setInputs({ { u"hda"_qs, u"Built-in Audio"_qs } });
        auto* choice = fixture.view.property(name).value<SettingChoice*>();
        fixture.settings.setProperty(field, value);
        QTEST(choice->labels().value(choice->currentIndex()), "current");
        QTEST(int(choice->labels().size()), "count");
    }

    // The level from 0 to 1 lights the bars from the left, rounded to the nearest bar.
    void levelBars_data()
    {
        test::columns<double, int>({ "level", "lit" });
        row("silent", 0.0, 0);
        row("below half a bar", 0.04, 0);
        row("half a bar rounds up", 0.05, 1);
        row("half", 0.5, 6);
        row("full", 1.0, 12);
        row("above full", 1.4, 12);
        row("below silent", -0.2, 0);
    }
    void levelBars()
    {
        const auto [level] = test::fetch<double>({ "level" });
        Fixture fixture;
        fixture.view.setMicTesting(true);
        fixture.view.setLevel(level);
        QTEST(fixture.view.litBars(), "lit");
    }

    void interfaceLanguageAsksForRelaunch()
    {
        Fixture fixture;
        QSignalSpy requests(&fixture.view, &SettingsView::languageChangeRequested);
        fixture.view.interfaceLanguage()->choose(
            int(fixture.view.interfaceLanguage()->labels().indexOf(u"English"_qs)));
        QCOMPARE(requests.value(0).value(0).toString(), "en");
    }

    // Delete arms on the first press and wipes on a second within its window; after the window it arms again.
    void deleteAll_data()
    {
        test::columns<QList<int>, QString, bool>({ "pausesMs", "button", "wiped" });
        row("one press", QList<int> { 0 }, u"Confirm"_qs, false);
        row("two presses", QList<int> { 0, 100 }, u"Delete"_qs, true);
        row("second press after the window", QList<int> { 0, 3300 }, u"Confirm"_qs, false);
    }
    void deleteAll()
    {
        const auto [pauses] = test::fetch<QList<int>>({ "pausesMs" });
        Fixture fixture;
        auto window = panel(fixture, 4);
        for (const int pause : pauses) {
            QTest::qWait(pause);
            test::pressKey(*window, fixture.view.isDeleteArmed() ? u"Confirm"_qs : u"Delete"_qs);
        }
        QTEST(test::focusedName(*window), "button");
        QTEST(fixture.toasts.current().has_value() && fixture.toasts.current()->title == u"Data deleted", "wiped");
    }

    // The address row shows the first shortcut address, or why there is none; Copy reads "Copied" for a moment.
    void shortcutAddress_data()
    {
        test::columns<bool, QStringList, QString>({ "serverOn", "urls", "note" });
        row("server off", false, QStringList {}, u"The address appears once the phone server is on"_qs);
        row("no network", true, QStringList {}, u"The address appears once this computer is on Wi-Fi"_qs);
        row("listening", true, QStringList { "http://192.168.1.23:8766/", "http://10.0.0.5:8766/" }, QString());
    }
    void shortcutAddress()
    {
        const auto [serverOn, urls] = test::fetch<bool, QStringList>({ "serverOn", "urls" });
        Fixture fixture;
        fixture.settings.setPhoneServerEnabled(serverOn);
        fixture.phone.setShortcutURLs(urls);
        QTEST(fixture.view.shortcutAddressNote(), "note");
        QCOMPARE(fixture.view.shortcutAddress(), urls.value(0));
        QGuiApplication::clipboard()->setText(u"before"_qs);
        fixture.view.copyShortcutAddress();
        QCOMPARE(QGuiApplication::clipboard()->text(), urls.value(0, u"before"_qs));
        QCOMPARE(fixture.view.isCopied(), !urls.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.view.isCopied(), 2500);
    }

    // Only a key edited since the last check is checked when editing ends.
    void keyCheckAfterEdit()
    {
        Fixture fixture;
        QSignalSpy checks(&fixture.view, &SettingsView::keyCheckRequested);
        fixture.view.finishKeyEdit();
        fixture.settings.setApiKey(u"AIzaSy-new"_qs);
        fixture.view.finishKeyEdit();
        fixture.view.finishKeyEdit();
        QCOMPARE(checks.count(), 1);
    }

    // Tab reaches the tabs and every control by name; keys change the theme, a switch and the hold time, and
    // config.json takes them once the settings have been quiet for the observer's spell: never while a change is
    // fresh, and once after the last.
    void keyboard()
    {
        Fixture fixture;
        fixture.settings.load();
        SettingsObserver observer(fixture.settings);
        QElapsedTimer clock;
        clock.start();
        QList<qint64> changes, saves;
        connect(&fixture.settings, &Settings::changed, this, [&] { changes << clock.elapsed(); });
        connect(&observer, &SettingsObserver::applyRequested, this, [&] { saves << clock.elapsed(); });
        auto window = panel(fixture, 0);
        QCOMPARE(test::tabOrder(*window, 30).join(u'|'),
            "General|Shortcuts|AI and languages|Microphone|Advanced|Theme: Light|Theme: Dark|Theme: Auto|"
            "Dictation sounds|Pause music|Turn off notifications|Start with the computer|Interface language|"
            "Floating button");
        test::pressKey(*window, u"Theme: Dark"_qs);
        test::pressKey(*window, u"Dictation sounds"_qs);
        QSignalSpy login(&fixture.view, &SettingsView::launchAtLoginChanged);
        test::pressKey(*window, u"Start with the computer"_qs);
        QCOMPARE(login.value(0).value(0).toBool(), true);
        window->contentItem()->childItems().constFirst()->setProperty("tab", 1);
        auto* holdTime = window->findChild<QQuickItem*>(u"holdTime"_qs);
        holdTime->forceActiveFocus(Qt::TabFocusReason);
        QTest::keyClick(window.get(), Qt::Key_Down);
        QCOMPARE(fixture.settings.theme(), ThemeMode::dark);
        QVERIFY(!fixture.settings.sounds());
        QCOMPARE(fixture.settings.holdThresholdMs(), 400);
        QTRY_VERIFY(!saves.isEmpty() && saves.last() > changes.last());
        QTest::qWait(300);
        const auto timeline = [&] {
            QStringList times;
            for (const qint64 change : std::as_const(changes))
                times << u"change %1"_qs.arg(change);
            for (const qint64 save : std::as_const(saves))
                times << u"save %1"_qs.arg(save);
            return times.join(u", "_qs).toUtf8();
        };
        for (const qint64 save : std::as_const(saves)) {
            const auto fresh
                = std::find_if(changes.rbegin(), changes.rend(), [save](qint64 change) { return change <= save; });
            // A coarse timer may fire up to 5 % early.
            QVERIFY2(fresh != changes.rend() && save - *fresh >= 237, timeline().constData());
        }
        QVERIFY2(std::count_if(saves.begin(), saves.end(), [&](qint64 save) { return save > changes.last(); }) == 1,
            timeline().constData());
        const QJsonObject saved = QJsonDocument::fromJson(test::readFile(Config::filePath())).object();
        QCOMPARE(saved[u"theme"].toString(), "dark");
        QCOMPARE(saved[u"sounds"].toBool(true), false);
        QCOMPARE(saved[u"holdThresholdMs"].toInt(), 400);

        // The prompt's text area passes Tab on instead of typing it.
        fixture.phone.setShortcutURLs({ u"http://192.168.1.23:8766/"_qs });
        window = panel(fixture, 4);
        QCOMPARE(test::tabOrder(*window, 40).mid(5).join(u'|'),
            "Text insertion|Line break|Keep audio files|Phone server|Type phone text into the front app|"
            "HTTP for iOS Shortcuts|Copy|Keep history|Open the data folder|Export all|Delete|Model instructions|"
            "Thinking level");

        // A language chip removes its language.
        fixture.settings.setLanguageCodes({ u"uz-UZ"_qs, u"ru-RU"_qs });
        window = panel(fixture, 2);
        test::pressKey(*window, u"Русский"_qs);
        QCOMPARE(fixture.settings.languageCodes(), QStringList { u"uz-UZ"_qs });
    }

    // The command names the program as the shell would find it.
    void toggleCommand_data()
    {
        test::columns<QString, QString, QString>({ "folder", "path", "command" });
        row("on the search path", u"bin"_qs, u"bin"_qs, u"kavo-voice toggle"_qs);
        row("elsewhere", u"build"_qs, u"bin"_qs, u"@/build/kavo-voice toggle"_qs);
        row("a path with a space", u"my build"_qs, u"bin"_qs, u"'@/my build/kavo-voice' toggle"_qs);
    }
    void toggleCommand()
    {
        const auto [folder, path] = test::fetch<QString, QString>({ "folder", "path" });
        const QTemporaryDir root;
        const QString program = root.filePath(folder + u"/kavo-voice");
        test::writeFile(program, "#!/bin/sh\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        test::writeFile(root.filePath(u"bin/kavo-voice"_qs), "#!/bin/sh\n");
        QFile::setPermissions(root.filePath(u"bin/kavo-voice"_qs), QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray searchPath = qgetenv("PATH");
        qputenv("PATH", root.filePath(path).toLocal8Bit());
        const QString command = SettingsView::toggleCommand(program);
        qputenv("PATH", searchPath);
        QTEST(QString(command).replace(root.path(), u"@"_qs), "command");
    }

    // Without keyboard access the Dictation row says why, and offers the command for a desktop shortcut.
    void hotkeyProblem()
    {
        Fixture fixture;
        auto window = panel(fixture, 1);
        QVERIFY(!test::tabOrder(*window, 30).contains(u"Copy the command"));
        const QString problem = u"The hotkey cannot read the keyboard. To allow it, run …"_qs;
        fixture.view.setHotkeyProblem(problem);
        test::pressKey(*window, u"Copy the command"_qs);
        QCOMPARE(QGuiApplication::clipboard()->text(), SettingsView::toggleCommand());
        const QAccessibleInterface* warning
            = QAccessible::queryAccessibleInterface(window->findChild<QQuickItem*>(u"hotkeyProblem"_qs));
        QCOMPARE(warning->text(QAccessible::Name), problem);
        fixture.view.setHotkeyProblem({});
        QVERIFY(!test::tabOrder(*window, 30).contains(u"Copy the command"));
    }

    // The tabs with realistic settings in both appearances, for people to look at.
    void screenshots()
    {
        Fixture fixture;
        fixture.keyCheck.setStatus(KeyCheck::Status::ok);
        fixture.keyCheck.setModels({ u"gemini-3.8-flash"_qs, u"gemini-3.8-pro"_qs });
        fixture.settings.setApiKey(u"AIzaSyD-example-key"_qs);
        fixture.settings.setLanguageCodes({ u"uz-UZ"_qs, u"ru-RU"_qs, u"en-US"_qs });
        fixture.settings.setPhoneServerEnabled(true);
        fixture.settings.setPhonePlainEnabled(true);
        fixture.phone.setShortcutURLs({ u"http://192.168.1.23:8766/dictate"_qs });
        fixture.view.setInputs({ { u"usb"_qs, u"Blue Yeti USB Microphone"_qs } });
        fixture.view.setMicTesting(true);
        fixture.view.setLevel(0.55);
        fixture.view.setHotkeyProblem(u"The hotkey cannot read the keyboard. To allow it, run “sudo usermod -aG "
                                      "input $USER”, then log out and back in (or install the udev rule that comes "
                                      "with Kavo Voice)."_qs);
        const QStringList names { "general", "shortcuts", "ai", "microphone", "advanced" };
        for (const bool dark : { false, true }) {
            m_appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
            for (int tab = 0; tab < names.size(); ++tab) {
                auto window = panel(fixture, tab);
                window->resize(776, tab == 4 ? 1700 : 680);
                QTest::qWait(50);
                test::screenshot(*window, u"settings-%1-%2"_qs.arg(names[tab], dark ? u"dark"_qs : u"light"_qs));
            }
        }
        m_appearance.setTheme(ThemeMode::dark);
        fixture.settings.setPhoneServerEnabled(false);
        fixture.phone.setShortcutURLs({});
        fixture.view.pressDelete();
        auto window = panel(fixture, 4);
        window->resize(776, 1700);
        QTest::qWait(50);
        test::screenshot(*window, u"settings-advanced-off-dark"_qs);
        m_appearance.setTheme(ThemeMode::light);
    }
};

QTEST_MAIN(SettingsPanelTest)
#include "tst_settings_panel.moc"
