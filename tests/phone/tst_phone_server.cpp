#include "phone/phone_fonts.h"
#include "phone/phone_page.h"
#include "phone/phone_server.h"

#include "store/log.h"
#include "support/data_folder.h"
#include "support/phone_client.h"
#include "support/table_rows.h"

#include <QCoroTimer>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kavo;
using namespace std::chrono_literals;
using test::row;

namespace {

const QString token = QStringLiteral("k7token");

struct Reply
{
    QByteArray status;
    QByteArray contentType;
    QByteArray cacheControl;
    QByteArray body;
};

Reply readReply(const QByteArray& bytes)
{
    Reply reply;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    reply.status = lines.value(0).trimmed().mid(9);
    for (const QByteArray& line : lines) {
        if (line.startsWith("Content-Type: "))
            reply.contentType = line.mid(14).trimmed();
        if (line.startsWith("Cache-Control: "))
            reply.cacheControl = line.mid(15).trimmed();
    }
    reply.body = bytes.mid(end + 4);
    return reply;
}

QByteArray get(const QByteArray& target)
{
    return "GET " + target + " HTTP/1.1\r\nHost: phone\r\n\r\n";
}

QByteArray post(const QByteArray& target, const QByteArray& contentType, const QByteArray& body)
{
    QByteArray head = "POST " + target + " HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    return head + "\r\n" + body;
}

QByteArray multipart(const QList<std::pair<QByteArray, QByteArray>>& parts)
{
    QByteArray body;
    for (const auto& [headers, content] : parts)
        body += "--XyZ\r\n" + headers + "\r\n\r\n" + content + "\r\n";
    return body + "--XyZ--\r\n";
}

} // namespace

class TestPhoneServer : public QObject
{
    Q_OBJECT

    struct Upload
    {
        QByteArray body;
        QString contentType;
    };

    PhoneServer* m_server = nullptr;
    QList<Upload> m_uploads;
    // What the next uploads make the handler do: wait this long, then fail with this message when there is one.
    std::chrono::milliseconds m_handlerDelay = 0ms;
    QString m_handlerFailure;

    QCoro::Task<QString> transcribe(QByteArray body, QString contentType)
    {
        m_uploads.append({ body, contentType });
        const QString failure = m_handlerFailure;
        if (m_handlerDelay > 0ms)
            co_await QCoro::sleepFor(m_handlerDelay);
        if (!failure.isEmpty())
            throw std::runtime_error(failure.toStdString());
        co_return QStringLiteral("heard %1 bytes").arg(body.size());
    }

    // Sends the request whole and waits for the server to answer and close.
    Reply exchange(bool secure, const QByteArray& request, quint16 port = 0)
    {
        test::PhoneClient client(secure, port ? port : (secure ? m_server->port() : m_server->plainPort()));
        client.send(request);
        if (!QTest::qWaitFor([&] { return client.closed; }, 10000))
            return {};
        return readReply(client.received);
    }

    void startServer(PhoneServer& server, const QString& serverToken = token)
    {
        server.start(0, 0, serverToken);
        QTRY_VERIFY_WITH_TIMEOUT(server.isRunning() && server.plainIsRunning(), 30000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        Log::flush();
    }

    void init()
    {
        m_uploads.clear();
        m_handlerDelay = 0ms;
        m_handlerFailure.clear();
        m_server = new PhoneServer(ServerIdentity(), this);
        m_server->setAudioHandler([this](QByteArray body, QString type) { return transcribe(body, type); });
        startServer(*m_server);
    }

    void cleanup() { delete m_server; }

    void routes_data()
    {
        test::columns<bool, QByteArray, QByteArray, QByteArray, QByteArray, QByteArray, int>(
            { "secure", "request", "status", "contentType", "cacheControl", "body", "seen" });
        const QByteArray json = "application/json";
        const QByteArray notFound = "Not found";
        const QByteArray forbidden = R"({"error":"Wrong or missing token."})";
        row("status", true, get("/status?t=k7token"), QByteArray("200 OK"), json, QByteArray("no-store"),
            QByteArray(R"({"status":"Transcribing"})"), 1);
        row("status over plain HTTP", false, get("/status?x=1&t=k7token"), QByteArray("200 OK"), json,
            QByteArray("no-store"), QByteArray(R"({"status":"Transcribing"})"), 1);
        row("status without a token", true, get("/status"), QByteArray("403 Forbidden"), json, QByteArray("no-store"),
            forbidden, 0);
        row("status with a wrong token", true, get("/status?t=k7toke"), QByteArray("403 Forbidden"), json,
            QByteArray("no-store"), forbidden, 0);
        row("font without a token", true, get("/font/Onest-Bold.ttf"), QByteArray("200 OK"), QByteArray("font/ttf"),
            QByteArray("public, max-age=86400"), *PhoneFonts::font("Onest-Bold.ttf"), 0);
        row("unknown font", true, get("/font/Onest-Thin.ttf"), QByteArray("404 Not Found"), QByteArray("text/plain"),
            QByteArray("no-store"), notFound, 0);
        row("font posted", true, post("/font/Onest-Bold.ttf", {}, {}), QByteArray("403 Forbidden"), json,
            QByteArray("no-store"), forbidden, 0);
        row("unknown path", true, get("/settings?t=k7token"), QByteArray("404 Not Found"), QByteArray("text/plain"),
            QByteArray("no-store"), notFound, 1);
        row("unknown path, wrong token", true, get("/settings?t=x"), QByteArray("403 Forbidden"), json,
            QByteArray("no-store"), forbidden, 0);
        row("status with a slash", true, get("/status/?t=k7token"), QByteArray("404 Not Found"),
            QByteArray("text/plain"), QByteArray("no-store"), notFound, 1);
        row("status posted", true, post("/status?t=k7token", {}, {}), QByteArray("404 Not Found"),
            QByteArray("text/plain"), QByteArray("no-store"), notFound, 1);
        row("the page", true, get("/?t=k7token"), QByteArray("200 OK"), QByteArray("text/html; charset=utf-8"),
            QByteArray("no-store"), PhonePage::html(token, PhonePage::computerName()), 1);
    }

    void routes()
    {
        const auto [secure, request, status, contentType, cacheControl, body, seen]
            = test::fetch<bool, QByteArray, QByteArray, QByteArray, QByteArray, QByteArray, int>(
                { "secure", "request", "status", "contentType", "cacheControl", "body", "seen" });
        m_server->setStatusText(QStringLiteral("Transcribing"));
        QSignalSpy seenSpy(m_server, &PhoneServer::seen);
        const Reply reply = exchange(secure, request);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.contentType, contentType);
        QCOMPARE(reply.cacheControl, cacheControl);
        QCOMPARE(reply.body, body);
        QTest::qWait(20);
        QCOMPARE(seenSpy.count(), seen);
    }

    void replyLayout()
    {
        test::PhoneClient client(true, m_server->port());
        client.send(get("/status?t=k7token"));
        QTRY_VERIFY(client.closed);
        QCOMPARE(client.received,
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 18\r\nCache-Control: no-store\r\n"
            "Connection: close\r\n\r\n{\"status\":\"Ready\"}");
    }

    void emptyToken()
    {
        PhoneServer open;
        startServer(open, QString());
        QCOMPARE(exchange(false, get("/status"), open.plainPort()).status, QByteArray("200 OK"));
    }

    void overIPv6()
    {
        if (QHostAddress(QHostAddress::LocalHostIPv6).protocol() != QAbstractSocket::IPv6Protocol)
            QSKIP("no IPv6");
        test::PhoneClient client(true, m_server->port(), QHostAddress::LocalHostIPv6);
        client.send(get("/status?t=k7token"));
        QTRY_VERIFY(client.closed);
        QCOMPARE(readReply(client.received).status, QByteArray("200 OK"));
    }

    // Rejections go out as soon as the parser can tell, with the connection still open on the client's side.
    void rejections_data()
    {
        test::columns<QByteArray, QByteArray, QByteArray>({ "request", "status", "error" });
        row("headers past the limit", QByteArray("GET /status?t=k7token HTTP/1.1\r\nX: ") + QByteArray(16384, 'a'),
            QByteArray("431 Request Header Fields Too Large"), QByteArray("The request headers are too long."));
        row("not UTF-8", QByteArray("GET /status?t=k7token\xff HTTP/1.1\r\n\r\n"), QByteArray("400 Bad Request"),
            QByteArray("The request could not be read."));
        row("letters for a length", post("/audio?t=k7token", {}, {}).replace("Length: 0", "Length: 12a"),
            QByteArray("400 Bad Request"), QByteArray("The Content-Length header is not valid."));
        row("one byte too large", post("/audio?t=k7token", {}, {}).replace("Length: 0", "Length: 52428801"),
            QByteArray("413 Content Too Large"), QByteArray("The recording is too large."));
    }

    void rejections()
    {
        const auto [request, status, error]
            = test::fetch<QByteArray, QByteArray, QByteArray>({ "request", "status", "error" });
        const Reply reply = exchange(false, request);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.body, R"({"error":")" + error + R"("})");
        Log::flush();
        QVERIFY(test::logText().contains(QString::fromLatin1("phone server: answered " + status)));
    }

    // A refused upload whose body is still on its way gets its reply all the same, read only once the body is sent
    // as browsers do: the server lets the client finish sending before it closes, so the connection is not reset
    // under the reply.
    void refusedWhileSending()
    {
        const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_server->plainPort());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const timeval limit { 5, 0 };
        setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        QCOMPARE(::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const QByteArray head = "POST /audio?t=wrong HTTP/1.1\r\nContent-Length: 400000\r\n\r\n";
        QCOMPARE(::send(socket, head.constData(), size_t(head.size()), MSG_NOSIGNAL), head.size());
        const QByteArray piece(40000, 'a');
        for (int count = 0; count < 10; ++count) {
            QTest::qWait(10);
            QCOMPARE(::send(socket, piece.constData(), size_t(piece.size()), MSG_NOSIGNAL), piece.size());
        }
        QByteArray received;
        char buffer[4096];
        for (ssize_t size; (size = ::recv(socket, buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, size);
        ::close(socket);
        QCOMPARE(readReply(received).body, QByteArray(R"({"error":"Wrong or missing token."})"));
    }

    void headersAtTheLimit()
    {
        QByteArray request = "GET /status?t=k7token HTTP/1.1\r\nX: ";
        request += QByteArray(16384 - request.size(), 'a') + "\r\n\r\n";
        QCOMPARE(exchange(false, request).status, QByteArray("200 OK"));
    }

    void uploads_data()
    {
        test::columns<QByteArray, QByteArray, QByteArray, QString, QByteArray>(
            { "contentType", "body", "handed", "handedType", "status" });
        const QByteArray audio(3000, 'a');
        row("audio", QByteArray("audio/wav"), audio, audio, QString("audio/wav"), QByteArray("200 OK"));
        row("no content type", QByteArray(), QByteArray(1025, 'b'), QByteArray(1025, 'b'), QString("audio/mp4"),
            QByteArray("200 OK"));
        row("1024 bytes", QByteArray("audio/wav"), QByteArray(1024, 'c'), QByteArray(), QString(),
            QByteArray("400 Bad Request"));
        row("file in the second part", QByteArray("multipart/form-data; boundary=XyZ"),
            multipart({ { "Content-Disposition: form-data; name=\"title\"", "hello" },
                { "Content-Disposition: form-data; name=\"f\"; filename=\"a.m4a\"\r\nContent-Type: audio/x-m4a",
                    audio } }),
            audio, QString("audio/x-m4a"), QByteArray("200 OK"));
        row("file part without a type", QByteArray("multipart/form-data; boundary=\"XyZ\""),
            multipart({ { "Content-Disposition: form-data; name=\"f\"; filename=\"a\"", audio } }), audio,
            QString("audio/mp4"), QByteArray("200 OK"));
        const QByteArray fields = multipart({ { "Content-Disposition: form-data; name=\"a\"", audio } });
        row("no file part", QByteArray("multipart/form-data; boundary=XyZ"), fields, fields,
            QString("multipart/form-data; boundary=XyZ"), QByteArray("200 OK"));
        const QByteArray smallFile = multipart({ { "Content-Type: audio/wav", QByteArray(1000, 'd') } });
        row("small file in a large body", QByteArray("multipart/form-data; boundary=XyZ"),
            smallFile + QByteArray(2000, ' '), QByteArray(), QString(), QByteArray("400 Bad Request"));
    }

    void uploads()
    {
        const auto [contentType, body, handed, handedType, status]
            = test::fetch<QByteArray, QByteArray, QByteArray, QString, QByteArray>(
                { "contentType", "body", "handed", "handedType", "status" });
        const Reply reply = exchange(true, post("/audio?t=k7token", contentType, body));
        QCOMPARE(reply.status, status);
        if (handed.isEmpty()) {
            QCOMPARE(m_uploads.size(), 0);
            QCOMPARE(reply.body, QByteArray(R"({"error":"The recording was empty."})"));
            return;
        }
        QCOMPARE(m_uploads.size(), 1);
        QCOMPARE(m_uploads[0].body, handed);
        QCOMPARE(m_uploads[0].contentType, handedType);
        QCOMPARE(reply.body, "{\"text\":\"heard " + QByteArray::number(handed.size()) + " bytes\"}");
        Log::flush();
        QVERIFY(test::logText().contains(
            QStringLiteral("phone server: received %1 bytes of %2").arg(handed.size()).arg(handedType)));
    }

    // One request per connection: bytes past the announced body are never taken for it, whether they come with the
    // headers or after pieces of the body.
    void bytesAfterTheBody_data()
    {
        test::columns<bool>({ "bodyInPieces" });
        row("with the headers", false);
        row("after pieces of the body", true);
    }

    void bytesAfterTheBody()
    {
        QFETCH(bool, bodyInPieces);
        const QByteArray body = QByteArray(2000, 'a') + QByteArray(1000, 'b');
        const QByteArray request = post("/audio?t=k7token", "audio/wav", body) + get("/status?t=k7token");
        test::PhoneClient client(true, m_server->port());
        if (bodyInPieces) {
            client.send(request.first(request.size() - 1500));
            QTest::qWait(100);
            client.send(request.last(1500));
        } else {
            client.send(request);
        }
        QTRY_VERIFY(client.closed);
        QCOMPARE(readReply(client.received).body, QByteArray(R"({"text":"heard 3000 bytes"})"));
        QCOMPARE(m_uploads.size(), 1);
        QCOMPARE(m_uploads[0].body, body);
    }

    void failingUpload()
    {
        m_handlerFailure = QStringLiteral("The computer is busy.");
        const Reply reply = exchange(false, post("/audio?t=k7token", "audio/wav", QByteArray(2000, 'a')));
        QCOMPARE(reply.status, QByteArray("500 Internal Server Error"));
        QCOMPARE(reply.body, QByteArray(R"({"error":"The computer is busy."})"));
    }

    // A long transcription holds only its own connection: others are answered meanwhile, and it gets its reply when
    // it is done, however long after the idle timeout that is.
    void slowUploadBlocksNoOne()
    {
        m_server->setIdleTimeout(300ms);
        startServer(*m_server);
        m_handlerDelay = 1000ms;
        test::PhoneClient slow(true, m_server->port());
        slow.send(post("/audio?t=k7token", "audio/wav", QByteArray(5000, 'a')));
        QTRY_COMPARE(m_uploads.size(), 1);
        m_handlerDelay = 0ms;
        QCOMPARE(exchange(true, post("/audio?t=k7token", "audio/wav", QByteArray(4000, 'b'))).body,
            QByteArray(R"({"text":"heard 4000 bytes"})"));
        QCOMPARE(exchange(false, get("/status?t=k7token")).status, QByteArray("200 OK"));
        QVERIFY(!slow.closed);
        QTRY_VERIFY_WITH_TIMEOUT(slow.closed, 5000);
        QCOMPARE(readReply(slow.received).body, QByteArray(R"({"text":"heard 5000 bytes"})"));
    }

    // The headers must all arrive within the timeout of the connection's start, however they trickle; each piece of
    // a body may take the timeout after the one before.
    void idleTimeout()
    {
        m_server->setIdleTimeout(400ms);
        startServer(*m_server);
        Log::reset();
        test::PhoneClient trickling(false, m_server->plainPort());
        test::PhoneClient slowBody(true, m_server->port());
        const QByteArray head
            = "POST /audio?t=k7token HTTP/1.1\r\nContent-Type: audio/wav\r\nContent-Length: 2400\r\n\r\n";
        slowBody.send(head);
        QElapsedTimer clock;
        clock.start();
        for (int piece = 0; piece < 8; ++piece) {
            trickling.send("G");
            slowBody.send(QByteArray(300, 'a'));
            QTest::qWait(150);
            if (piece >= 3)
                QVERIFY2(trickling.closed, "trickled headers extended the timeout");
        }
        QVERIFY(clock.elapsed() > 1000);
        QTRY_VERIFY(slowBody.closed);
        QCOMPARE(readReply(slowBody.received).body, QByteArray(R"({"text":"heard 2400 bytes"})"));
        QCOMPARE(trickling.received, QByteArray());
        Log::flush();
        QCOMPARE(test::logText().count("phone server: closing a connection that stopped sending"), 1);
    }

    void listenerStates()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any, 0));
        const quint16 takenPort = taken.serverPort();

        m_server->start(takenPort, 0, token);
        QTRY_COMPARE(m_server->lastError(), QStringLiteral("Port %1 is already in use.").arg(takenPort));
        QVERIFY(!m_server->isRunning());

        m_server->start(0, takenPort, token);
        QTRY_VERIFY(m_server->isRunning());
        QTest::qWait(50);
        QVERIFY(!m_server->plainIsRunning());
        QCOMPARE(m_server->lastError(), QString());
        Log::flush();
        QVERIFY(
            test::logText().contains(QStringLiteral("phone server (http): port %1 is already in use").arg(takenPort)));

        // What a stopped server's listeners still had to say is dropped.
        m_server->start(0, 0, token);
        m_server->stop();
        QTest::qWait(500);
        QVERIFY(!m_server->isRunning());
        QVERIFY(!m_server->plainIsRunning());

        PhoneServer withoutOpenssl(ServerIdentity({ QStringLiteral("/nonexistent/openssl") }));
        test::emptyDataFolder();
        withoutOpenssl.start(0, 0, token);
        QTRY_COMPARE(withoutOpenssl.lastError(), QStringLiteral("Could not create the HTTPS certificate."));
        QVERIFY(!withoutOpenssl.plainIsRunning());
    }

    void pageFilling_data()
    {
        test::columns<QByteArray, QString, QString>({ "machineInfo", "hostName", "name" });
        row("pretty name", QByteArray("CHASSIS=laptop\nPRETTY_HOSTNAME=\"Aziz's \\\"Laptop\\\"\"\n"), QString("box"),
            QString("Aziz's \"Laptop\""));
        row("single quotes", QByteArray("PRETTY_HOSTNAME='Ofis kompyuteri'\n"), QString("box"),
            QString("Ofis kompyuteri"));
        row("empty pretty name", QByteArray("PRETTY_HOSTNAME=\n"), QString("box"), QString("box"));
        row("nothing", QByteArray(), QString(), QString("Linux"));
    }

    void pageFilling()
    {
        const auto [machineInfo, hostName, name]
            = test::fetch<QByteArray, QString, QString>({ "machineInfo", "hostName", "name" });
        QCOMPARE(PhonePage::computerName(machineInfo, hostName), name);
        QCOMPARE(PhonePage::jsEscaped(QStringLiteral("ab-c_d9é\"Z")), QStringLiteral("abcd9Z"));
        QCOMPARE(PhonePage::htmlEscaped(QStringLiteral("<a href=\"x\">Tom & Jerry's</a>")),
            QStringLiteral("&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/a&gt;"));
    }
};

QTEST_GUILESS_MAIN(TestPhoneServer)
#include "tst_phone_server.moc"
