#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "media/media_control.h"
#include "platform/pulse/pulse_connection.h"
#include "platform/session_backends.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/scripted_recorder.h"
#include "support/silent_stream.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QProcess>
#include <QSocketNotifier>
#include <QTest>

#include <pulse/pulseaudio.h>

#include <X11/XF86keysym.h>
#include <X11/Xlib.h>

using namespace kavo;
using namespace std::chrono_literals;

namespace {

const QString musicService = QStringLiteral("org.mpris.MediaPlayer2.kavotest.music");
const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

const auto musicIsOnTheBus
    = [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(musicService).value(); };

// The test player's status on the bus, "-" when it is not there.
QString playbackStatus()
{
    QDBusInterface player(musicService, playerPath, playerInterface);
    return player.isValid() ? player.property("PlaybackStatus").toString() : u"-"_qs;
}

bool nothingPlays()
{
    QProcess pactl;
    pactl.start("pactl", { "list", "short", "sink-inputs" });
    return pactl.waitForFinished() && pactl.readAllStandardOutput().trimmed().isEmpty();
}

// A playback stream of the test process itself, standing for the application's own sounds, until it is released.
std::shared_ptr<pa_stream> playOwnSound()
{
    const std::shared_ptr<PulseConnection> connection = PulseConnection::open("Kavo Voice");
    PulseConnection::Lock lock(*connection);
    const pa_sample_spec sampleFormat { PA_SAMPLE_S16LE, 44100, 2 };
    pa_stream* stream = pa_stream_new(connection->context(), "Start sound", &sampleFormat, nullptr);
    pa_stream_connect_playback(stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr);
    return { stream, [connection](pa_stream* stream) {
                PulseConnection::Lock lock(*connection);
                pa_stream_disconnect(stream);
                pa_stream_unref(stream);
            } };
}

} // namespace

class TestMediaControl : public QObject
{
    Q_OBJECT

    std::optional<test::KeyboardLock> m_keyboard;
    // Whoever receives the Play/Pause key on the test display, grabbed before anyone else as a desktop's
    // media-key handler does: a program without a player on the bus, or the desktop handing it to the player.
    std::unique_ptr<Display, decltype(&XCloseDisplay)> m_display { nullptr, &XCloseDisplay };
    KeyCode m_key = 0;
    std::optional<QSocketNotifier> m_keyEvents;
    int m_presses = 0;
    bool m_keyPlayerAnswers = false, m_desktopAnswers = false;
    // What plays while a dictation starts: a player on the bus and programs without one.
    QProcess m_music;
    test::SilentStream m_call, m_game, m_keyPlayer;
    std::shared_ptr<pa_stream> m_ownSound;

    void readKeys()
    {
        for (XEvent event; XPending(m_display.get()) > 0;) {
            XNextEvent(m_display.get(), &event);
            if (event.type != KeyPress || event.xkey.keycode != m_key)
                continue;
            ++m_presses;
            if (m_keyPlayerAnswers)
                m_keyPlayer.isPlaying() ? m_keyPlayer.stop() : void(m_keyPlayer.start("org.example.KeyPlayer"));
            if (m_desktopAnswers)
                QDBusConnection::sessionBus().send(
                    QDBusMessage::createMethodCall(musicService, playerPath, playerInterface, "PlayPause"));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        if (!test::TestServices::available())
            return;
        // The Play/Pause presses go through the shared X server, where the hotkey tests listen.
        QVERIFY(m_keyboard.emplace().isLocked());
        m_display.reset(XOpenDisplay(nullptr));
        QVERIFY(m_display && (m_key = XKeysymToKeycode(m_display.get(), XF86XK_AudioPlay)) != 0);
        XGrabKey(m_display.get(), m_key, AnyModifier, DefaultRootWindow(m_display.get()), False, GrabModeAsync,
            GrabModeAsync);
        XSync(m_display.get(), False);
        m_keyEvents.emplace(ConnectionNumber(m_display.get()), QSocketNotifier::Read);
        connect(&*m_keyEvents, &QSocketNotifier::activated, this, [this] { readKeys(); });
    }

    // The next scene starts from silence: no player on the bus and no stream left on the server.
    void cleanup()
    {
        m_music.kill();
        m_music.waitForFinished();
        for (test::SilentStream* stream : { &m_call, &m_game, &m_keyPlayer })
            stream->stop();
        m_ownSound.reset();
        QVERIFY(!m_display || QTest::qWaitFor([] { return !musicIsOnTheBus() && nothingPlays(); }, 10'000));
    }

    void callApplications()
    {
        // Bundle prefixes keep their case, Linux names and IDs are lower-cased; a prefix must start the ID.
        for (const char* id : { "us.zoom.Zoom", "com.microsoft.Teams", "Discord", "Cisco-Systems.Spark" })
            QVERIFY2(MediaControl::isCallApplication(id), id);
        for (const char* id : { "cisco-systems.spark", "org.example.zoom" })
            QVERIFY2(!MediaControl::isCallApplication(id), id);
    }

    void pauseAndResume_data()
    {
        // The state while paused and after resuming: whether it paused, the Play/Pause presses so far and the
        // player's status on the bus ("-" for none); then the log lines.
        test::columns<QString, QString, QString, QString>({ "scene", "whilePaused", "afterResume", "log" });
        const QString pausing = "media playing; pausing it for the recording", both = pausing + " | resuming media";
        test::row("nothing plays", "", "0 -", "0 -", "");
        test::row("a paused player stays paused", "pausedMusic", "0 Paused", "0 Paused", "");
        test::row("a playing player is paused and played again", "music", "paused 0 Paused", "0 Playing", both);
        test::row("the application's own sound", "ownSound", "0 -", "0 -", "");
        test::row("only a call plays", "call", "0 -", "0 -", "only call apps are playing; not pressing Play/Pause");
        test::row("a call beside a player", "call music", "paused 0 Paused", "0 Playing", both);
        test::row("sound without a player is paused with the key", "keyPlayer", "paused 1 -", "2 -", both);
        test::row("the key starts an idle player", "game idleKeyPlayer", "paused undone 2 -", "2 -",
            QString(pausing + " | Play/Pause started org.example.KeyPlayer instead of pausing; pressing it again"));
        test::row("the desktop hands the key to the paused player", "music game desktopKeys", "paused 1 Paused",
            "1 Playing", both);
    }

    void pauseAndResume()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [scene, whilePaused, afterResume]
            = test::fetch<QString, QString, QString>({ "scene", "whilePaused", "afterResume" });
        const auto has = [parts = scene.split(u' ')](const char* part) { return parts.contains(part); };
        QVERIFY(nothingPlays());
        if (has("music") || has("pausedMusic")) {
            m_music.start(
                KAVO_MPRIS_TEST_PLAYER, { "kavotest.music", "org.example.Music", has("music") ? "Playing" : "Paused" });
            QVERIFY(QTest::qWaitFor(musicIsOnTheBus, 10'000));
        }
        QVERIFY(!has("call") || m_call.start("com.discordapp.Discord"));
        QVERIFY(!has("game") || m_game.start("org.example.Game"));
        QVERIFY(!has("keyPlayer") || m_keyPlayer.start("org.example.KeyPlayer"));
        m_ownSound = has("ownSound") ? playOwnSound() : nullptr;
        QVERIFY(!m_ownSound || QTest::qWaitFor([] { return !nothingPlays(); }, 10'000));
        m_keyPlayerAnswers = has("keyPlayer") || has("idleKeyPlayer");
        m_desktopAnswers = has("desktopKeys");
        m_presses = 0;
        const auto state = [this]() -> QString { return QString::number(m_presses) + u' ' + playbackStatus(); };
        Log::reset();
        const std::unique_ptr<MediaControl> media = SessionBackends::mediaControl();
        MediaControl& control = *media;
        bool undone = false;
        connect(&control, &MediaControl::pauseUndone, [&undone] { undone = true; });
        const QString paused = QCoro::waitFor(control.pauseIfPlaying()) ? "paused " : "";
        QTest::qWait(int((MediaControl::verificationDelay + 600ms).count()));
        QTRY_COMPARE(QString(paused + (undone ? "undone " : "") + state()), whilePaused);
        control.resume();
        QTRY_COMPARE(state(), afterResume);
        QTest::qWait(300); // no late presses
        QCOMPARE(state(), afterResume);
        QTEST(test::logText().trimmed().split(u'\n').join(" | "), "log");
    }

    // A recording that starts while the one before waits to resume the media takes the pause over: the player stays
    // paused until the new recording ends.
    void resumeBelongsToTheRecordingThatPaused()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        m_music.start(KAVO_MPRIS_TEST_PLAYER, { "kavotest.music", "org.example.Music", "Playing" });
        QVERIFY(QTest::qWaitFor(musicIsOnTheBus, 10'000));
        DataStores stores;
        stores.load();
        stores.settings.setPauseMedia(true);
        Toasts toasts;
        test::ScriptedRecorder recorder;
        TextInjector injector(nullptr);
        DictationFlow flow(stores, toasts, recorder, injector);
        const std::unique_ptr<MediaControl> media = SessionBackends::mediaControl();
        flow.setMediaControl(media.get());
        flow.startRecording(DictationSource::computer, DictationTarget::historyOnly());
        QTRY_COMPARE(playbackStatus(), "Paused");
        flow.cancelRecording();
        flow.startRecording(DictationSource::computer, DictationTarget::historyOnly());
        QTest::qWait(int((DictationFlow::mediaResumeDelay * 3).count()));
        QCOMPARE(playbackStatus(), "Paused");
        flow.cancelRecording();
        QTRY_COMPARE(playbackStatus(), "Playing");
    }
};

QTEST_GUILESS_MAIN(TestMediaControl)
#include "tst_media_control.moc"
