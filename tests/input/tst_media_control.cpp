#include "audio/pulse_connection.h"
#include "input/media_control.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/silent_stream.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDeadlineTimer>
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
const QString pausing = QStringLiteral("media playing; pausing it for the recording");
const QString resuming = QStringLiteral("resuming media");

QStringList logLines()
{
    Log::flush();
    QStringList lines = QString::fromUtf8(test::readFile(Log::fileURL())).split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line.remove(0, QStringLiteral("HH:mm:ss.SSS ").size());
    return lines;
}

bool musicIsOnTheBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(musicService);
}

bool nothingPlays()
{
    QProcess pactl;
    pactl.start(
        QStringLiteral("pactl"), { QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs") });
    pactl.waitForFinished();
    return pactl.readAllStandardOutput().trimmed().isEmpty();
}

// Waits for `condition` for up to ten seconds, running events meanwhile.
template <typename Condition> bool awaits(Condition condition)
{
    for (QDeadlineTimer deadline(10'000); !deadline.hasExpired(); QTest::qWait(20)) {
        if (condition())
            return true;
    }
    return false;
}

QString musicStatus()
{
    QDBusInterface player(musicService, QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.mpris.MediaPlayer2.Player"), QDBusConnection::sessionBus());
    return player.isValid() ? player.property("PlaybackStatus").toString() : QString();
}

// A playback stream of the test process itself, standing for the application's own sounds.
class OwnSound
{
public:
    OwnSound()
        : m_connection(PulseConnection::open(QStringLiteral("Kavo Voice")))
    {
        PulseConnection::Lock lock(*m_connection);
        const pa_sample_spec sampleFormat { PA_SAMPLE_S16LE, 44100, 2 };
        m_stream = pa_stream_new(m_connection->context(), "Start sound", &sampleFormat, nullptr);
        pa_stream_connect_playback(m_stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr);
    }
    ~OwnSound()
    {
        PulseConnection::Lock lock(*m_connection);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }

private:
    std::shared_ptr<PulseConnection> m_connection;
    pa_stream* m_stream;
};

// What plays while a dictation starts: a player on the bus, programs without one, and whoever receives the
// Play/Pause key on the test display (grabbed before anyone else, as a desktop's media-key handler does).
class Scene
{
public:
    int presses = 0;

    Scene()
        : m_display(XOpenDisplay(nullptr))
    {
        if (!m_display)
            return;
        m_key = XKeysymToKeycode(m_display, XF86XK_AudioPlay);
        XGrabKey(m_display, m_key, AnyModifier, DefaultRootWindow(m_display), False, GrabModeAsync, GrabModeAsync);
        XSync(m_display, False);
        m_keyEvents.emplace(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(&*m_keyEvents, &QSocketNotifier::activated, [this] { readKeys(); });
    }
    // The next scene starts from silence: no player on the bus and no stream left on the server.
    ~Scene()
    {
        m_keyEvents.reset();
        if (m_display)
            XCloseDisplay(m_display);
        m_music.kill();
        m_music.waitForFinished();
        for (test::SilentStream* stream : { &m_call, &m_game, &m_keyPlayer })
            stream->stop();
        m_ownSound.reset();
        awaits([] { return !musicIsOnTheBus() && nothingPlays(); });
    }

    bool set(const QStringList& parts)
    {
        if (m_key == 0)
            return false;
        const auto has = [&parts](const char* part) { return parts.contains(QLatin1String(part)); };
        if (has("music") || has("pausedMusic")) {
            m_music.start(QStringLiteral(KAVO_MPRIS_TEST_PLAYER),
                { QStringLiteral("kavotest.music"), QStringLiteral("org.example.Music"),
                    has("music") ? QStringLiteral("Playing") : QStringLiteral("Paused") });
            if (!awaits(musicIsOnTheBus))
                return false;
        }
        if ((has("call") && !m_call.start(QStringLiteral("com.discordapp.Discord")))
            || (has("game") && !m_game.start(QStringLiteral("org.example.Game")))
            || (has("keyPlayer") && !m_keyPlayer.start(QStringLiteral("org.example.KeyPlayer"))))
            return false;
        if (has("ownSound")) {
            m_ownSound.emplace();
            if (!awaits([] { return !nothingPlays(); }))
                return false;
        }
        if (has("keyPlayer") || has("idleKeyPlayer"))
            m_onKey = [this] { toggleKeyPlayer(); };
        if (has("desktopKeys"))
            m_onKey = [] {
                QDBusConnection::sessionBus().send(
                    QDBusMessage::createMethodCall(musicService, QStringLiteral("/org/mpris/MediaPlayer2"),
                        QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("PlayPause")));
            };
        return true;
    }

private:
    void readKeys()
    {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == KeyPress && event.xkey.keycode == m_key) {
                ++presses;
                if (m_onKey)
                    m_onKey();
            }
        }
    }

    void toggleKeyPlayer()
    {
        if (m_keyPlayer.isPlaying())
            m_keyPlayer.stop();
        else
            m_keyPlayer.start(QStringLiteral("org.example.KeyPlayer"));
    }

    Display* m_display;
    KeyCode m_key = 0;
    std::optional<QSocketNotifier> m_keyEvents;
    std::function<void()> m_onKey;
    QProcess m_music;
    test::SilentStream m_call, m_game, m_keyPlayer;
    std::optional<OwnSound> m_ownSound;
};

} // namespace

class TestMediaControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        // The Play/Pause presses go through the shared X server, where the hotkey tests listen.
        if (test::TestServices::available())
            QVERIFY(m_keyboard.emplace().isLocked());
    }

    void callApplications_data()
    {
        test::columns<QString, bool>({ "id", "isCall" });
        test::row("Zoom Flatpak", QStringLiteral("us.zoom.Zoom"), true);
        test::row("Teams Flatpak", QStringLiteral("com.microsoft.Teams"), true);
        test::row("Discord program", QStringLiteral("Discord"), true);
        test::row("Webex on macOS", QStringLiteral("Cisco-Systems.Spark"), true);
        test::row("bundle prefixes keep their case", QStringLiteral("cisco-systems.spark"), false);
        test::row("prefix inside the ID", QStringLiteral("org.example.zoom"), false);
    }
    void callApplications()
    {
        QFETCH(QString, id);
        QFETCH(bool, isCall);
        QCOMPARE(MediaControl::isCallApplication(id), isCall);
    }

    void pauseAndResume_data()
    {
        test::columns<QStringList, bool, int, bool, QString, int, QString, QStringList>({ "scene", "paused",
            "pressesWhilePaused", "undone", "musicWhilePaused", "pressesAfterResume", "musicAfterResume", "log" });
        const QString paused = QStringLiteral("Paused"), playing = QStringLiteral("Playing");
        test::row("nothing plays", QStringList {}, false, 0, false, QString(), 0, QString(), QStringList {});
        test::row("a paused player stays paused", QStringList { "pausedMusic" }, false, 0, false, paused, 0, paused,
            QStringList {});
        test::row("a playing player is paused and played again", QStringList { "music" }, true, 0, false, paused, 0,
            playing, QStringList { pausing, resuming });
        test::row("the application's own sound", QStringList { "ownSound" }, false, 0, false, QString(), 0, QString(),
            QStringList {});
        test::row("only a call plays", QStringList { "call" }, false, 0, false, QString(), 0, QString(),
            QStringList { QStringLiteral("only call apps are playing; not pressing Play/Pause") });
        test::row("a call beside a player", QStringList { "call", "music" }, true, 0, false, paused, 0, playing,
            QStringList { pausing, resuming });
        test::row("sound without a player is paused with the key", QStringList { "keyPlayer" }, true, 1, false,
            QString(), 2, QString(), QStringList { pausing, resuming });
        test::row("the key starts an idle player", QStringList { "game", "idleKeyPlayer" }, true, 2, true, QString(), 2,
            QString(),
            QStringList { pausing,
                QStringLiteral("Play/Pause started org.example.KeyPlayer instead of pausing; pressing it again") });
        test::row("the desktop hands the key to the paused player", QStringList { "music", "game", "desktopKeys" },
            true, 1, false, paused, 1, playing, QStringList { pausing, resuming });
    }
    void pauseAndResume()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QStringList, scene);
        QFETCH(bool, paused);
        QFETCH(int, pressesWhilePaused);
        QFETCH(bool, undone);
        QFETCH(QString, musicWhilePaused);
        QFETCH(int, pressesAfterResume);
        QFETCH(QString, musicAfterResume);
        QFETCH(QStringList, log);

        Scene playback;
        QVERIFY(nothingPlays());
        QVERIFY(playback.set(scene));
        Log::reset();
        MediaControl control;
        bool undoneCalled = false;
        QCOMPARE(control.pauseIfPlaying([&undoneCalled] { undoneCalled = true; }), paused);
        QTest::qWait(int((MediaControl::verificationDelay + 600ms).count()));
        QTRY_COMPARE(playback.presses, pressesWhilePaused);
        QTRY_COMPARE(undoneCalled, undone);
        QCOMPARE(musicStatus(), musicWhilePaused);

        control.resume();
        QTRY_COMPARE(musicStatus(), musicAfterResume);
        QTest::qWait(300);
        QCOMPARE(playback.presses, pressesAfterResume);
        QCOMPARE(logLines(), log);
    }

private:
    std::optional<test::KeyboardLock> m_keyboard;
};

QTEST_GUILESS_MAIN(TestMediaControl)
#include "tst_media_control.moc"
