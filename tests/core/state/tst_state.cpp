#include "phone/local_addresses.h"
#include "phone/phone_token.h"
#include "state/config_diff.h"
#include "state/input_access.h"
#include "state/key_check.h"
#include "state/phone_status.h"
#include "state/status_menu.h"
#include "state/toasts.h"
#include "store/log.h"
#include "store/settings.h"
#include "store/settings_observer.h"
#include "support/data_folder.h"
#include "support/fake_gemini.h"
#include "support/table_rows.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace kavo;

Q_DECLARE_METATYPE(kavo::StatusMenu::State)

namespace {

// The menu one line per item: "-" for a separator, "(text)" when disabled, "* " before a checked one, "> " before
// the items of a submenu.
QStringList lines(const QList<StatusMenuItem>& items, const QString& indent = {})
{
    QStringList result;
    for (const StatusMenuItem& item : items) {
        const QString text = (item.checked ? u"* "_qs : QString()) + item.text;
        result.append(indent + (item.isSeparator() ? u"-"_qs : item.enabled ? text : u'(' + text + u')'));
        result.append(lines(item.submenu, indent + u"> "_qs));
    }
    return result;
}

} // namespace

class TestState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    // A newer toast replaces the one on screen and is removed 2.6 s after it was shown, not a moment before.
    void toasts()
    {
        Toasts toasts;
        toasts.show(u"First"_qs, {}, Toasts::Tone::info);
        const QUuid first = toasts.current()->id;
        QTest::qWait(1000);
        QElapsedTimer shown;
        shown.start();
        toasts.show(u"First"_qs, {}, Toasts::Tone::info);
        QVERIFY(toasts.current()->id != first);
        QSignalSpy changed(&toasts, &Toasts::toastChanged);
        QVERIFY(changed.wait(4000));
        QVERIFY(!toasts.current());
        QVERIFY2(shown.elapsed() >= 2595, qPrintable(QString::number(shown.elapsed())));
    }

    void phoneConnected()
    {
        PhoneStatus status;
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!status.isConnected(now));
        status.setLastSeen(now.addMSecs(-44999));
        QVERIFY(status.isConnected(now));
        status.setLastSeen(now.addSecs(-45));
        QVERIFY(!status.isConnected(now));
    }

    // A menu for each phase; the message wrapped at spaces into lines of at most 60 characters (a longer word
    // split), the last text shown whole up to 48 characters.
    void statusMenu_data()
    {
        test::columns<StatusMenu::State, QStringList>({ "state", "lines" });
        const QString word(70, u'w');
        const QStringList microphones { "Microphone: Built-in", "> * System default", "> USB mic", "> Built-in" };
        const QStringList end { "-", "(Kavo Voice 1.2 (7))", "Check for updates", "Open logs", "Quit" };
        const QStringList actions = microphones + QStringList { "Open Kavo Voice", "Settings…", "Set up again" };
        const StatusMenu::State idle { .inputDeviceName = u"Built-in"_qs,
            .inputs = { { u"usb"_qs, u"USB mic"_qs }, { u"builtin"_qs, u"Built-in"_qs } },
            .version = u"1.2"_qs,
            .build = u"7"_qs };
        StatusMenu::State failed = idle, recording = idle;
        failed.phase = DictationState::Phase::failed, failed.lastTranscript = QString(48, u'x'),
        failed.hudVisible = false;
        failed.message = u"Gemini returned 503: The model is overloaded. Please try now later. "_qs + word;
        recording.phase = DictationState::Phase::recording, recording.lastTranscript = QString(49, u'y');
        recording.inputDeviceID = u"usb"_qs, recording.version.clear();
        test::row("idle", idle,
            QStringList { "(Hold Control + Super to talk)", "-" } + actions + QStringList { "Hide button" } + end);
        test::row("failed", failed,
            QStringList { "(Something went wrong)", "(Gemini returned 503: The model is overloaded. Please try now)",
                "(later.)", u'(' + word.first(60) + u')', "(wwwwwwwwww)", "-" }
                + actions
                + QStringList { "Show button", "-", "Last text: " + QString(48, u'x'), "Insert last text again" }
                + end);
        test::row("recording", recording,
            QStringList { "(Recording... (Esc to cancel))", "-", "Microphone: Built-in", "> System default",
                "> * USB mic", "> Built-in", "Open Kavo Voice", "Settings…", "Set up again", "Hide button", "-",
                "Last text: " + QString(48, u'y') + "...", "Insert last text again", "-", "(Kavo Voice ? (7))",
                "Check for updates", "Open logs", "Quit" });
    }

    void statusMenu()
    {
        QFETCH(StatusMenu::State, state);
        QTEST(lines(StatusMenu::build(state)), "lines");
    }

    // The status line and the tray icon (glyph, and tone when tinted) of each phase.
    void statusLineAndIcon_data()
    {
        test::columns<StatusMenu::State, QString, QString>({ "state", "line", "icon" });
        using Phase = DictationState::Phase;
        using test::row;
        row("recording", StatusMenu::State { .phase = Phase::recording }, "Recording... (Esc to cancel)",
            "audio-lines red");
        row("working", StatusMenu::State { .phase = Phase::working }, "Transcribing...", "audio-lines blue");
        row("failed", StatusMenu::State { .phase = Phase::failed, .inputAccess = false }, "Something went wrong",
            "triangle-alert amber");
        row("idle without input access", StatusMenu::State { .inputAccess = false }, "Input access needed", "mic-off");
        row("idle, toggle", StatusMenu::State { .hotkey = HotkeyKind::rightSuper, .hotkeyMode = HotkeyMode::toggle },
            "Press Right Super to talk", "audio-lines");
    }

    void statusLineAndIcon()
    {
        QFETCH(StatusMenu::State, state);
        QTEST(StatusMenu::statusLine(state), "line");
        const StatusMenu::Icon icon = StatusMenu::icon(state);
        QTEST(QString(icon.glyph + (icon.tone ? u' ' + rawValue(*icon.tone) : QString())), "icon");
    }

    void keyCheck()
    {
        using test::FakeGemini;
        using Status = KeyCheck::Status;
        FakeGemini gemini;
        QVERIFY(gemini.start());
        qputenv("KAVO_GEMINI_BASE_URL", gemini.baseUrl().toString().toUtf8());
        Settings settings;
        settings.load();
        KeyCheck keyCheck;
        QCoro::waitFor(keyCheck.check(settings));
        QVERIFY(keyCheck.status() == Status::unknown && gemini.requests().isEmpty());

        // The model in use is not offered: a general flash model takes its place.
        settings.setApiKey(u"first"_qs);
        const QStringList offered { "text-embedding-4", "gemini-embedding-1", "gemini-x-pro", "gemini-x-flash", "veo" };
        gemini.enqueue(FakeGemini::models(offered));
        QCoro::waitFor(keyCheck.check(settings));
        QCOMPARE(keyCheck.status(), Status::ok);
        QCOMPARE(keyCheck.models(), QStringList({ "gemini-x-flash", "gemini-x-pro" }));
        QCOMPARE(settings.model(), u"gemini-x-flash"_qs);

        // A refused key fails with the service's message; the models stay.
        gemini.enqueue(FakeGemini::error(400, u"API key not valid."_qs));
        QCoro::waitFor(keyCheck.check(settings));
        QVERIFY(keyCheck.status() == Status::failed && keyCheck.failure().contains(u"API key not valid."_qs));
        QCOMPARE(keyCheck.models().size(), 2);

        // The answer for a key changed meanwhile is dropped.
        FakeGemini::Reply late = FakeGemini::models({ "gemini-late" });
        late.delay = std::chrono::milliseconds(200);
        gemini.enqueue(late);
        QCoro::Task<> check = keyCheck.check(settings);
        settings.setApiKey(u"second"_qs);
        QCoro::waitFor(std::move(check));
        QCOMPARE(gemini.pendingReplies(), 0);
        QVERIFY(keyCheck.status() == Status::checking && keyCheck.models().size() == 2);
    }

    // Missing access is asked for again every two seconds until it comes, and then no more.
    void inputAccessIsAwaited()
    {
        bool access = false;
        int probes = 0;
        InputAccess input([&] { return ++probes, access; });
        QSignalSpy granted(&input, &InputAccess::accessGranted);
        Log::reset();
        input.check();
        QVERIFY(!input.isGranted() && input.isWaiting());
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(probes, 2, 5000);
        QVERIFY(clock.elapsed() >= 1900);
        access = true;
        QVERIFY(granted.wait(5000));
        QVERIFY(input.isGranted() && !input.isWaiting());
        QCOMPARE(test::logText(), u"accessibility granted=false\naccessibility granted while waiting\n"_qs);
        input.check();
        QCOMPARE(granted.count(), 2);
        QVERIFY(!input.isWaiting());
    }

    void phoneTokens()
    {
        std::array<quint8, PhoneToken::length> high {}, middle {};
        for (int index = 0; index < PhoneToken::length; ++index)
            high[index] = quint8(255 - index), middle[index] = quint8(64 + index);
        QCOMPARE(PhoneToken::fromBytes(high) + PhoneToken::fromBytes(middle), u"98765432zyxwvutsabcdefghijkmnpqr"_qs);
        const QRegularExpression valid(u"^[a-km-np-z2-9]{16}$"_qs);
        QSet<QString> tokens;
        for (int round = 0; round < 2000; ++round) {
            const QString token = PhoneToken::make();
            QVERIFY2(valid.match(token).hasMatch(), qPrintable(token));
            tokens.insert(token);
        }
        QCOMPARE(tokens.size(), 2000);
    }

    // Usable addresses only, the default route's interface first, then wired and wireless before bridges, home
    // networks before office ones, each address once; the default route read from the kernel's table.
    void localAddresses()
    {
        using Pair = LocalAddresses::InterfaceAddress;
        const QList<Pair> found { { u"br0"_qs, u"192.168.5.1"_qs }, { u"wlp2s0"_qs, u"172.16.0.9"_qs },
            { u"wlp2s0"_qs, u"10.0.0.7"_qs }, { u"lo"_qs, u"127.0.0.1"_qs }, { u"eth0"_qs, u"169.254.3.3"_qs },
            { u"docker0"_qs, u"172.17.0.1"_qs }, { u"enp1s0"_qs, u"192.168.1.20"_qs }, { u"eth1"_qs, u"10.0.0.7"_qs },
            { u"enp1s0"_qs, QString() } };
        QCOMPARE(
            LocalAddresses::ordered(found, u"wlp2s0"_qs).join(u' '), "10.0.0.7 172.16.0.9 192.168.1.20 192.168.5.1");
        QCOMPARE(
            LocalAddresses::ordered(found, std::nullopt).join(u' '), "192.168.1.20 10.0.0.7 172.16.0.9 192.168.5.1");
        const QByteArray routes = "Iface\tDestination\tGateway\nenp1s0\t0000A8C0\t00000000\n"
                                  "wlp2s0\t00000000\t0100A8C0\n";
        QCOMPARE(LocalAddresses::primaryInterface(routes), u"wlp2s0"_qs);
        QCOMPARE(LocalAddresses::primaryInterface(routes.first(45)), std::nullopt);
    }

    // Which running objects an apply restarts; nothing applied before counts as everything changed. The settings now
    // are the defaults with `changes`.
    void configDiff_data()
    {
        test::columns<bool, QString, ConfigDiff>({ "applied", "changes", "diff" });
        const ConfigDiff none, all { true, true, true, true, false, true };
        const auto row = [](const char* name, bool applied, const char* changes, ConfigDiff diff) {
            QTest::newRow(name) << applied << QString(changes) << diff;
        };
        row("first apply", false, "{}", all);
        row("first apply with noise reduction", false, R"({"noiseReduction":true})",
            { true, true, true, true, true, true });
        row("theme only", true, R"({"theme":"dark"})", none);
        row("pill moved", true, R"({"hudX":40})", none);
        row("hotkey mode", true, R"({"hotkeyMode":"toggle"})", { .hotkey = true });
        row("hotkey", true, R"({"hotkey":"fn"})", { .hotkey = true });
        row("phone port", true, R"({"phonePort":9000})", { .phoneServer = true });
        row("phone token", true, R"({"phoneToken":"t"})", { .phoneServer = true });
        row("plain phone port", true, R"({"phonePlainPort":9001})", { .phoneServer = true });
        row("phone inserts", true, R"({"phoneInserts":false})", none);
        row("history days", true, R"({"historyDays":7})", { .historyDays = true });
        row("API key", true, R"({"apiKey":"k"})", { .apiKey = true });
        row("device, noise reduction off", true, R"({"inputDeviceID":"usb"})", { .microphone = true });
        row("noise reduction on", true, R"({"noiseReduction":true})", { .noiseReduction = true, .microphone = true });
    }

    void configDiff()
    {
        const auto [applied, changes, diff] = test::fetch<bool, QString, ConfigDiff>({ "applied", "changes", "diff" });
        const Config now = Config::decode(changes.toUtf8()).value();
        const ConfigDiff result = ConfigDiff::between(applied ? std::optional(Config {}) : std::nullopt, now);
        const auto flags = [](const ConfigDiff& d) {
            return QList<bool> { d.hotkey, d.phoneServer, d.historyDays, d.apiKey, d.noiseReduction, d.microphone };
        };
        QCOMPARE(flags(result), flags(diff));
    }

    // Edits in quick succession are written and applied once, after they stop.
    void settingsAreSavedAndAppliedOnceAfterAPause()
    {
        Settings settings;
        settings.load();
        SettingsObserver observer(settings);
        QSignalSpy applied(&observer, &SettingsObserver::applyRequested);
        // No events are handled while sleeping, so only a wait that restarts with each edit outlasts the last one.
        QElapsedTimer sinceLastEdit;
        for (int step = 1; step <= 5; ++step) {
            settings.setHoldThresholdMs(300 + step);
            sinceLastEdit.start();
            QThread::msleep(step < 5 ? 100 : 0);
        }
        QVERIFY(applied.wait(2000));
        QVERIFY2(sinceLastEdit.elapsed() >= 230, qPrintable(QString::number(sinceLastEdit.elapsed())));
        QCOMPARE(Config::load().holdThresholdMs, 305);
        QTest::qWait(400);
        QCOMPARE(applied.count(), 1);

        settings.setHoldThresholdMs(400);
        observer.flush();
        QCOMPARE(applied.count(), 2);
        QCOMPARE(Config::load().holdThresholdMs, 400);
    }
};

QTEST_GUILESS_MAIN(TestState)
#include "tst_state.moc"
