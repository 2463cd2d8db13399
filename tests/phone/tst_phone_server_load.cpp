// The phone server under a crowd of clients that misbehave: it keeps answering a good client, and the connections and
// body bytes it holds are bounded and go back to nothing once the crowd has gone. Speed is the benchmarks' business.
#include "phone/http_parser.h"
#include "phone/phone_server.h"

#include "store/log.h"
#include "support/data_folder.h"
#include "support/phone_client.h"
#include "support/table_rows.h"

#include <QCoroTimer>
#include <QSslSocket>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

using namespace kavo;
using namespace std::chrono_literals;
using test::row;

namespace {

const QString token = QStringLiteral("k7token");

using Crowd = std::vector<std::unique_ptr<test::PhoneClient>>;

QByteArray upload(qint64 announced, const QByteArray& body)
{
    return "POST /audio?t=k7token HTTP/1.1\r\nContent-Type: audio/wav\r\nContent-Length: "
        + QByteArray::number(announced) + "\r\n\r\n" + body;
}

QByteArray replyBody(const QByteArray& reply)
{
    return reply.mid(reply.indexOf("\r\n\r\n") + 4);
}

int countClosed(const Crowd& crowd)
{
    return int(std::ranges::count_if(crowd, [](const auto& client) { return client->closed; }));
}

} // namespace

class TestPhoneServerLoad : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhoneServer> m_server;
    int m_uploads = 0;
    std::chrono::milliseconds m_handlerDelay = 0ms;

    QCoro::Task<QString> transcribe(QByteArray body)
    {
        ++m_uploads;
        if (m_handlerDelay > 0ms)
            co_await QCoro::sleepFor(m_handlerDelay);
        co_return QStringLiteral("heard %1 bytes").arg(body.size());
    }

    void startServer(std::chrono::milliseconds idleTimeout)
    {
        m_server->setIdleTimeout(idleTimeout);
        m_server->start(0, 0, token);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->isRunning() && m_server->plainIsRunning(), 30000);
    }

    // The good client's upload over TLS, answered with its transcript.
    QByteArray goodUpload()
    {
        test::PhoneClient good(true, m_server->port());
        good.socket.write(upload(3000, QByteArray(3000, 'g')));
        if (!QTest::qWaitFor([&] { return good.closed; }, 20000))
            return {};
        return replyBody(good.received);
    }

    void crowdGone(Crowd& crowd)
    {
        crowd.clear();
        QTRY_COMPARE(m_server->openConnections(), 0);
        QTRY_COMPARE(m_server->heldBodyBytes(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        Log::flush();
    }

    void init()
    {
        m_uploads = 0;
        m_handlerDelay = 0ms;
        m_server = std::make_unique<PhoneServer>();
        m_server->setAudioHandler([this](QByteArray body, QString) { return transcribe(body); });
    }

    void cleanup() { m_server.reset(); }

    // Connections that say nothing, or trickle their headers, neither hold up the good client nor an upload on its way,
    // nor outnumber the cap: past it, the oldest of them make room. Trickled headers still have to be complete within
    // the idle timeout.
    void goodClientAmongACrowd_data()
    {
        test::columns<int, bool, bool, int>({ "crowd", "tls", "trickle", "madeRoom" });
        row("200 silent TCP connections", 200, false, false, 0);
        row("200 silent after their handshake", 200, true, false, 0);
        row("200 trickling their headers", 200, true, true, 0);
        row("300 silent: the oldest make room", 300, false, false, 300 + 2 - PhoneServer::maxConnections);
    }

    void goodClientAmongACrowd()
    {
        const auto [size, tls, trickle, madeRoom]
            = test::fetch<int, bool, bool, int>({ "crowd", "tls", "trickle", "madeRoom" });
        startServer(trickle ? 2s : 20s);
        test::PhoneClient uploading(true, m_server->port());
        uploading.socket.write(upload(2000, {}));
        QTRY_COMPARE(m_server->heldBodyBytes(), 2000);
        // The upload goes on a byte at a time from now on, so that it outlives the idle timeout however long the
        // crowd's handshakes take; the crowd trickles its headers likewise, or stays silent.
        Crowd crowd;
        QTimer trickling;
        const QByteArray head = "GET /status?t=k7token HTTP/1.1\r\n\r\n";
        int sent = 0;
        connect(&trickling, &QTimer::timeout, this, [&] {
            uploading.socket.write("u");
            for (const auto& client : crowd) {
                if (trickle && !client->closed)
                    client->socket.write(head.mid(std::min(sent, int(head.size()) - 1), 1));
            }
            ++sent;
        });
        trickling.start(100);
        for (int index = 0; index < size; ++index)
            crowd.push_back(std::make_unique<test::PhoneClient>(tls, m_server->port()));
        QTRY_VERIFY_WITH_TIMEOUT(std::ranges::all_of(crowd,
                                     [&](const auto& client) {
                                         return client->closed
                                             || (tls ? client->socket.isEncrypted()
                                                     : client->socket.state() == QAbstractSocket::ConnectedState);
                                     }),
            20000);
        // Tricklers may already be cut off when handshakes are slow: only the silent are sure to be all there.
        if (!trickle)
            QTRY_COMPARE(m_server->openConnections(), std::min(size + 1, PhoneServer::maxConnections));

        QCOMPARE(goodUpload(), QByteArray(R"({"text":"heard 3000 bytes"})"));
        QVERIFY(m_server->openConnections() <= PhoneServer::maxConnections);
        if (!trickle) {
            QTRY_COMPARE(countClosed(crowd), madeRoom);
            QVERIFY(std::all_of(crowd.end() - 200, crowd.end(), [](const auto& client) { return !client->closed; }));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(countClosed(crowd), size, 5000);
            QVERIFY(std::ranges::all_of(crowd, [](const auto& client) { return client->received.isEmpty(); }));
        }
        trickling.stop();
        uploading.socket.write(QByteArray(2000 - sent, 'u'));
        QTRY_VERIFY(uploading.closed);
        QCOMPARE(replyBody(uploading.received), QByteArray(R"({"text":"heard 2000 bytes"})"));
        crowdGone(crowd);
    }

    // Past the cap, the connections that have been quiet longest make room, however long the others have been open.
    void quietestMakeRoom()
    {
        startServer(20s);
        const auto connectMore = [this](Crowd& crowd, int count) {
            for (int index = 0; index < count; ++index)
                crowd.push_back(std::make_unique<test::PhoneClient>(false, m_server->plainPort()));
        };
        Crowd early;
        Crowd late;
        Crowd newcomers;
        connectMore(early, 100);
        QTRY_COMPARE(m_server->openConnections(), 100);
        connectMore(late, PhoneServer::maxConnections - 100);
        QTRY_COMPARE(m_server->openConnections(), PhoneServer::maxConnections);
        for (const auto& client : early)
            client->socket.write("G");
        QTest::qWait(300);
        connectMore(newcomers, 100);
        QTRY_COMPARE(countClosed(late), 100);
        QCOMPARE(countClosed(early), 0);
        QCOMPARE(countClosed(newcomers), 0);
        QCOMPARE(m_server->openConnections(), PhoneServer::maxConnections);
    }

    // Handshakes that start and are dropped, or start and stall, leave nothing behind: the stalled ones are closed
    // after the idle timeout while the good client is served, and the log takes only so many lines about them.
    void abandonedHandshakes()
    {
        startServer(1s);
        Log::reset();
        const QByteArray clientHelloStart = QByteArray::fromHex("160301020001000001fc0303") + QByteArray(32, 'r');
        Crowd stalled;
        for (int index = 0; index < 300; ++index) {
            auto client = std::make_unique<test::PhoneClient>(false, m_server->port());
            QVERIFY(client->socket.waitForConnected(5000));
            if (index % 3 != 2)
                client->socket.write(clientHelloStart);
            client->socket.flush();
            if (index % 3 == 0)
                stalled.push_back(std::move(client));
        }
        QCOMPARE(goodUpload(), QByteArray(R"({"text":"heard 3000 bytes"})"));
        QTRY_COMPARE(countClosed(stalled), 100);
        QCOMPARE(m_server->openConnections(), 0);
        Log::flush();
        QCOMPARE(test::logText().count(QStringLiteral("closing a connection that stopped sending")), 60);
    }

    // An upload of exactly the largest size is taken whole; a byte more is refused, with its reply read once the
    // client has sent it all.
    void uploadsAtTheLimit_data()
    {
        test::columns<qint64, QByteArray>({ "size", "reply" });
        row("the limit", HttpParser::bodyLimit, QByteArray(R"({"text":"heard 52428800 bytes"})"));
        row("a byte more", HttpParser::bodyLimit + 1, QByteArray(R"({"error":"The recording is too large."})"));
    }

    void uploadsAtTheLimit()
    {
        const auto [size, reply] = test::fetch<qint64, QByteArray>({ "size", "reply" });
        startServer(5s);
        test::PhoneClient client(true, m_server->port());
        client.socket.write(upload(size, QByteArray(size, 'l')));
        QTRY_VERIFY_WITH_TIMEOUT(client.closed, 20000);
        QCOMPARE(replyBody(client.received), reply);
        QTRY_COMPARE(m_server->heldBodyBytes(), 0);
    }

    // Bodies on their way count against the budget from their headers; past it an upload is told to come back, and
    // what a client that vanished had announced is free again at once.
    void bodyBudget()
    {
        startServer(20s);
        Crowd announcers;
        for (qint64 held = 0; held + HttpParser::bodyLimit <= PhoneServer::bodyBudget; held += HttpParser::bodyLimit) {
            announcers.push_back(std::make_unique<test::PhoneClient>(true, m_server->port()));
            announcers.back()->socket.write(upload(HttpParser::bodyLimit, QByteArray(100000, 'a')));
            QTRY_COMPARE(m_server->heldBodyBytes(), held + HttpParser::bodyLimit);
        }
        QCOMPARE(goodUpload(), QByteArray(R"({"error":"The computer is busy. Try again in a moment."})"));
        announcers.pop_back();
        QTRY_COMPARE(m_server->heldBodyBytes(), PhoneServer::bodyBudget - HttpParser::bodyLimit);
        QCOMPARE(goodUpload(), QByteArray(R"({"text":"heard 3000 bytes"})"));
        crowdGone(announcers);
    }

    // An upload's body stays counted while its transcript is worked out, even when its client has gone meanwhile.
    void bodyHeldUntilAnswered()
    {
        startServer(20s);
        m_handlerDelay = 1000ms;
        auto client = std::make_unique<test::PhoneClient>(true, m_server->port());
        client->socket.write(upload(5000, QByteArray(5000, 'u')));
        QTRY_COMPARE(m_uploads, 1);
        client.reset();
        QTRY_COMPARE(m_server->openConnections(), 0);
        QCOMPARE(m_server->heldBodyBytes(), 5000);
        QTRY_COMPARE(m_server->heldBodyBytes(), 0);
    }

    // Round after round of clients that send part of an upload and vanish leave no connection and no body behind.
    void vanishingUploads()
    {
        startServer(20s);
        for (int round = 0; round < 5; ++round) {
            Crowd crowd;
            for (int index = 0; index < 20; ++index) {
                crowd.push_back(std::make_unique<test::PhoneClient>(true, m_server->port()));
                crowd.back()->socket.write(upload(1 << 20, QByteArray(1 << 19, 'v')));
            }
            QTRY_COMPARE(m_server->heldBodyBytes(), 20 << 20);
            crowdGone(crowd);
        }
        QCOMPARE(m_uploads, 0);
        QCOMPARE(goodUpload(), QByteArray(R"({"text":"heard 3000 bytes"})"));
    }

    // Running out of file descriptors stops a listener accepting for a moment, not for good.
    void acceptsAgainAfterRunningOutOfDescriptors()
    {
        startServer(20s);
        std::vector<int> sockets;
        for (int index = 0; index < 40; ++index)
            sockets.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        rlimit limit {};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit before = limit;
        limit.rlim_cur = *std::ranges::max_element(sockets) + 4;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &limit), 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_server->plainPort());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (const int socket : sockets)
            ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        QTest::qWait(300);
        for (const int socket : sockets)
            ::close(socket);
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &before), 0);

        test::PhoneClient good(false, m_server->plainPort());
        good.socket.write("GET /status?t=k7token HTTP/1.1\r\n\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(good.closed, 5000);
        QCOMPARE(replyBody(good.received), QByteArray(R"({"status":"Ready"})"));
    }
};

QTEST_GUILESS_MAIN(TestPhoneServerLoad)
#include "tst_phone_server_load.moc"
