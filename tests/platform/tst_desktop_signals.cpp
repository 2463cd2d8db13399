#include "platform/canberra/event_sounds.h"
#include "platform/dbus/notifier.h"
#include "store/log.h"
#include "support/data_folder.h"
#include "support/notification_server.h"
#include "support/silent_stream.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <optional>
#include <unistd.h>

using namespace kavo;

namespace {

// A notification service that takes calls and never answers them.
class SilentNotifications : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString&, const QString&, const QStringList&,
        const QVariantMap&, int)
    {
        setDelayedReply(true);
        return 0;
    }
};

} // namespace

class TestDesktopSignals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }
    void init() { Log::reset(); }

    // A notification reaches the server as it was posted. Posting never waits for the service, also for one that
    // never answers or none at all, and reports nothing.
    void posting_data()
    {
        test::columns<QString, QString, QString>({ "service", "title", "body" });
        test::row("plain", "server", "Not transcribed", "The audio is kept in History.");
        test::row("non-Latin, no body", "server", "Не расшифровано", "");
        test::row("markup is text", "server", "Transkripsiya qilinmadi", "<b>O‘zbekcha</b> & \"quotes\"");
        test::row("no service", "none", "Not transcribed", "body");
        test::row("service that never answers", "silent", "Not transcribed", "body");
    }

    void posting()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [service, title, body] = test::fetch<QString, QString, QString>({ "service", "title", "body" });
        const QString name = test::NotificationServer::serviceName();
        std::optional<test::NotificationServer> server;
        if (service == "server")
            QVERIFY2(server.emplace().isRegistered(), qPrintable(server->errorString()));
        else if (QDBusConnection::sessionBus().interface()->isServiceRegistered(name))
            QSKIP("another test program holds the notification service");
        // A connection of its own, so the call goes through the bus rather than straight to the object.
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "silent notifications");
        SilentNotifications silent;
        if (service == "silent") {
            QVERIFY(other.registerObject("/org/freedesktop/Notifications", &silent, QDBusConnection::ExportAllSlots));
            QVERIFY(other.registerService(name));
        }
        QTest::failOnWarning(QRegularExpression(".*"));
        QElapsedTimer timer;
        timer.start();
        Notifier().post(title, body);
        QVERIFY(server || timer.elapsed() < 100);
        QTest::qWait(300); // the bus's error reply, when there is one, comes back and goes unreported
        other.unregisterService(name);
        QDBusConnection::disconnectFromBus("silent notifications");
        QCOMPARE(test::logText(), QString());
        if (!server)
            return;
        QVERIFY(server->waitForNotifications(1));
        const test::ReceivedNotification n = server->notifications().constFirst();
        QCOMPARE(QStringList({ n.appName, n.appIcon, n.summary, n.body, n.hints.value("desktop-entry").toString() }),
            QStringList({ "Kavo Voice", "uz.kavo.KavoVoice", title, body, "uz.kavo.KavoVoice" }));
        QVERIFY(n.replacesId == 0 && n.actions.isEmpty() && n.expireTimeout == -1);
        const QVariant urgency = n.hints.value("urgency"); // the protocol says a byte
        QCOMPARE(urgency.metaType(), QMetaType::fromType<uchar>());
        QCOMPARE(urgency.value<uchar>(), 1);
    }

    // Each moment has a sound of the freedesktop theme; starting, finishing, cancelling and failing sound different.
    void soundsComeFromTheTheme()
    {
        QSet<QString> distinct;
        for (const EventSound sound : { EventSound::started, EventSound::accepted, EventSound::cancelled,
                 EventSound::failed, EventSound::phoneDone }) {
            const QString name = EventSounds::freedesktopName(sound);
            QVERIFY2(QFile::exists("/usr/share/sounds/freedesktop/stereo/" + name + ".oga"), qPrintable(name));
            distinct.insert(name);
        }
        QVERIFY(distinct.size() >= 4);
    }

    void playsOnTheSoundServer()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        EventSounds sounds;
        sounds.play(EventSound::phoneDone); // the longest sound of the theme: about a second
        QTRY_VERIFY_WITH_TIMEOUT(test::playsOnServer(getpid()), 3000);
        QCOMPARE(test::logText(), QString());
    }

    void hungSoundServerHoldsNothingUp()
    {
        QLocalServer server;
        QVERIFY(server.listen(test::useTemporaryDataFolder() + "/hung-pulse"));
        const std::optional<QByteArray> ownServer
            = qEnvironmentVariableIsSet("PULSE_SERVER") ? std::optional(qgetenv("PULSE_SERVER")) : std::nullopt;
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(server.fullServerName()));
        qint64 playMs = 0;
        bool reached = false;
        {
            EventSounds sounds;
            QElapsedTimer timer;
            timer.start();
            sounds.play(EventSound::started);
            sounds.play(EventSound::failed);
            playMs = timer.elapsed();
            // Hanging up on the player lets it fail the first sound and try again for the second.
            reached = server.waitForNewConnection(5000);
            delete server.nextPendingConnection();
            server.close();
        }
        if (ownServer)
            qputenv("PULSE_SERVER", *ownServer);
        else
            qunsetenv("PULSE_SERVER");
        QVERIFY(reached);
        QVERIFY2(playMs < 100, qPrintable(QString::number(playMs)));
        const QString log = test::logText();
        QVERIFY2(log.count(u'\n') == 1 && log.startsWith("sounds unavailable: "), qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(TestDesktopSignals)

#include "tst_desktop_signals.moc"
