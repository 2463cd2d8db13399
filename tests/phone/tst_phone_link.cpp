#include "phone/phone_link.h"

#include "store/log.h"
#include "support/data_folder.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTest>

using namespace kavo;
using namespace std::chrono_literals;

class TestPhoneLink : public QObject
{
    Q_OBJECT

    // Addresses of documentation networks: the links name them, and nothing is ever sent to them.
    QStringList m_addresses { "192.0.2.50", "198.51.100.7" };

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    // The links come 0.6 s after a start, with the ports the server listens on and a token made and saved for it;
    // the phone's requests mark it seen; new addresses restart the server; turning it off clears everything.
    void followsSettingsAndNetwork()
    {
        Settings settings;
        settings.setPhoneServerEnabled(true);
        settings.setPhonePort(0);
        settings.setPhonePlainEnabled(true);
        settings.setPhonePlainPort(0);
        PhoneStatus status;
        PhoneServer server;
        PhoneLink link(settings, status, server, [this] { return m_addresses; });

        link.apply();
        const QString token = settings.phoneToken();
        QCOMPARE(token.size(), 16);
        QVERIFY(test::readFile(Config::filePath()).contains(token.toUtf8()));
        QTest::qWait(300);
        QVERIFY(status.phoneURLs().isEmpty());
        // Making the certificate can take longer than the first status read on a busy machine: the addresses come
        // first, and the running state with the actual ports once the server listens.
        QTRY_VERIFY_WITH_TIMEOUT(status.isRunning() && !status.phoneURLs().isEmpty(), 15000);
        const QString port = QString::number(server.port());
        const QString plainPort = QString::number(server.plainPort());
        QCOMPARE(status.phoneURLs(),
            QStringList(
                { "https://192.0.2.50:" + port + "/?t=" + token, "https://198.51.100.7:" + port + "/?t=" + token }));
        QCOMPARE(status.shortcutURLs(),
            QStringList({ "http://192.0.2.50:" + plainPort + "/audio?t=" + token,
                "http://198.51.100.7:" + plainPort + "/audio?t=" + token }));

        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl("http://127.0.0.1:" + plainPort + "/status?t=" + token))));
        QTRY_VERIFY(reply->isFinished());
        QTRY_VERIFY(status.lastSeen().isValid());
        QVERIFY(status.lastSeen().secsTo(QDateTime::currentDateTime()) < 5);

        Log::reset();
        link.networkChanged();
        m_addresses = QStringList { "203.0.113.9" };
        link.networkChanged();
        QTRY_COMPARE(status.phoneURLs(),
            QStringList({ "https://203.0.113.9:" + QString::number(server.port()) + "/?t=" + token }));
        Log::flush();
        QCOMPARE(test::logText().count("network changed; restarting the phone server"), 1);

        settings.setPhonePlainEnabled(false);
        link.apply();
        QTRY_VERIFY(status.isRunning() && status.shortcutURLs().isEmpty() && !status.phoneURLs().isEmpty());
        QVERIFY(!server.plainIsRunning());

        settings.setPhoneServerEnabled(false);
        link.apply();
        QVERIFY(!status.isRunning() && status.phoneURLs().isEmpty() && !status.lastSeen().isValid());
        QVERIFY(!server.isRunning());
        link.networkChanged();
        QTest::qWait(700);
        QVERIFY(!server.isRunning() && status.phoneURLs().isEmpty());
    }

    // A server that cannot listen leaves the links empty and says why.
    void portInUse()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any, 0));
        Settings settings;
        settings.setPhoneServerEnabled(true);
        settings.setPhonePort(taken.serverPort());
        PhoneStatus status;
        PhoneServer server;
        PhoneLink link(settings, status, server, [this] { return m_addresses; });
        link.apply();
        QTRY_COMPARE(status.error(), QStringLiteral("Port %1 is already in use.").arg(taken.serverPort()));
        QTest::qWait(700);
        QVERIFY(!status.isRunning() && status.phoneURLs().isEmpty() && status.shortcutURLs().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPhoneLink)
#include "tst_phone_link.moc"
