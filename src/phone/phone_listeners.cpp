#include "phone_listeners.h"

#include "phone/local_addresses.h"
#include "phone/phone_connection.h"
#include "phone/phone_fonts.h"
#include "phone/phone_page.h"
#include "phone/phone_server.h"
#include "store/log.h"

#include <QSslSocket>
#include <QTimer>

#include <unistd.h>

namespace kavo {

namespace {

// Lines about single connections the log takes in a minute; a flood of bad requests must not fill the disk.
constexpr int logLinesPerMinute = 60;
// Connections the kernel completes before the server takes them; past this it drops them, and a client (a good one
// among a burst, say) tries again only a second or more later.
constexpr int listenBacklog = 1024;
// New connections taken at a time from a listener, before the server turns to the connections it has.
constexpr int connectionsPerTurn = 16;
// How long a listener that could not accept (out of file descriptors, say) waits before it tries again.
constexpr auto acceptRetry = std::chrono::milliseconds(1000);

QByteArray notFound()
{
    return HttpParser::reply("404 Not Found", "text/plain", "no-store", "Not found");
}

// A listening socket whose accepted connections wait as TLS sockets (on the HTTPS port) or plain ones, not yet
// started, until the server takes them.
class Listener : public QTcpServer
{
public:
    explicit Listener(bool tls)
        : m_tls(tls)
    { }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        QTcpSocket* socket = m_tls ? new QSslSocket(this) : new QTcpSocket(this);
        if (socket->setSocketDescriptor(descriptor)) {
            addPendingConnection(socket);
        } else {
            delete socket;
            ::close(int(descriptor));
        }
    }

private:
    bool m_tls;
};

} // namespace

PhoneListeners::PhoneListeners(PhoneServer& server, ServerIdentity identity)
    : m_server(server)
    , m_identity(std::move(identity))
{ }

PhoneListeners::~PhoneListeners() = default;

void PhoneListeners::start(quint64 generation, quint16 port, std::optional<quint16> plainPort, const QString& token,
    std::chrono::milliseconds idleTimeout)
{
    stop();
    m_generation = generation;
    m_token = token;
    m_idleTimeout = idleTimeout;
    m_computerName = PhonePage::computerName();

    const std::optional<ServerIdentity::Identity> identity = m_identity.loadOrCreate(LocalAddresses::current());
    if (!identity || identity->key.isNull() || identity->certificate.isNull()) {
        Log::write(QStringLiteral("phone server: could not create the HTTPS certificate"));
        report(Label::https, false, PhoneServer::tr("Could not create the HTTPS certificate."));
        return;
    }
    m_tls = QSslConfiguration::defaultConfiguration();
    m_tls.setLocalCertificate(identity->certificate);
    m_tls.setPrivateKey(identity->key);
    m_tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_secure = std::make_unique<Listener>(true);
    listen(*m_secure, Label::https, port);

    if (plainPort) {
        m_plain = std::make_unique<Listener>(false);
        listen(*m_plain, Label::http, *plainPort);
    }
}

bool PhoneListeners::listen(QTcpServer& server, Label label, quint16 port)
{
    const QString name = label == Label::https ? QStringLiteral("https") : QStringLiteral("http");
    connect(&server, &QTcpServer::acceptError, &server, [this, name, &server](QAbstractSocket::SocketError) {
        logConnectionLine(QStringLiteral("phone server (%1) failed: %2").arg(name, server.errorString()));
        // Qt stops accepting after an error; a lack of descriptors passes as connections close.
        QTimer::singleShot(acceptRetry, &server, &QTcpServer::resumeAccepting);
    });
    server.setListenBacklogSize(listenBacklog);
    // A burst of new connections is taken a few at a time, with the connections' own work in between: a client
    // already in its handshake goes on while the burst waits.
    server.setMaxPendingConnections(connectionsPerTurn);
    connect(
        &server, &QTcpServer::pendingConnectionAvailable, &server,
        [this, &server] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                adopt(socket);
        },
        Qt::QueuedConnection);
    if (!server.listen(QHostAddress::Any, port)) {
        if (server.serverError() == QAbstractSocket::AddressInUseError) {
            Log::write(QStringLiteral("phone server (%1): port %2 is already in use").arg(name).arg(port));
            report(label, false, PhoneServer::tr("Port %1 is already in use.").arg(port));
        } else {
            Log::write(QStringLiteral("phone server (%1) failed: %2").arg(name, server.errorString()));
            report(label, false, server.errorString());
        }
        return false;
    }
    Log::write(QStringLiteral("phone server (%1) listening on %2").arg(name).arg(server.serverPort()));
    report(label, true);
    return true;
}

void PhoneListeners::stop()
{
    m_secure.reset();
    m_plain.reset();
}

void PhoneListeners::adopt(QTcpSocket* socket)
{
    if (std::ssize(m_connections) >= PhoneServer::maxConnections && !makeRoom()) {
        delete socket;
        return;
    }
    auto* secure = qobject_cast<QSslSocket*>(socket);
    if (secure)
        secure->setSslConfiguration(m_tls);
    const quint64 id = ++m_nextConnection;
    PhoneConnection::Hooks hooks {
        .route = [this, id](PhoneRequest request) { return route(id, std::move(request)); },
        .admitBody = [this, id](qint64 bytes) { return admitBody(id, bytes); },
        .log = [this](const QString& line) { logConnectionLine(line); },
    };
    auto* connection = new PhoneConnection(socket, m_token, m_idleTimeout, std::move(hooks), this);
    m_connections.emplace(id, connection);
    connect(connection, &PhoneConnection::closed, this, [this, id] { forget(id); });
    countLoad();
    if (secure)
        secure->startServerEncryption();
}

bool PhoneListeners::makeRoom()
{
    if (!m_crowded) {
        m_crowded = true;
        Log::write(QStringLiteral("phone server: %1 connections at once; closing quiet ones to make room")
                       .arg(m_connections.size()));
    }
    // Whoever is busy with a handshake or a request keeps going; a crowd that only holds its connections open goes.
    PhoneConnection* quietest = nullptr;
    for (const auto& [id, connection] : m_connections) {
        if (!connection->holdsRequest() && (!quietest || connection->lastProgress() < quietest->lastProgress()))
            quietest = connection;
    }
    if (!quietest)
        return false;
    quietest->close();
    return true;
}

void PhoneListeners::forget(quint64 connection)
{
    m_connections.erase(connection);
    if (!m_uploads.contains(connection))
        releaseBody(connection);
    if (std::ssize(m_connections) < PhoneServer::maxConnections / 2)
        m_crowded = false;
    countLoad();
}

bool PhoneListeners::admitBody(quint64 connection, qint64 bytes)
{
    if (m_bodyBytes + bytes > PhoneServer::bodyBudget)
        return false;
    m_bodies.insert(connection, bytes);
    m_bodyBytes += bytes;
    countLoad();
    return true;
}

void PhoneListeners::releaseBody(quint64 connection)
{
    m_uploads.remove(connection);
    m_bodyBytes -= m_bodies.take(connection);
    countLoad();
}

void PhoneListeners::logConnectionLine(const QString& line)
{
    if (m_logWindow.hasExpired()) {
        if (m_logLinesLeftOut > 0)
            Log::write(QStringLiteral("phone server: %1 lines about connections left out").arg(m_logLinesLeftOut));
        m_logWindow.setRemainingTime(std::chrono::minutes(1));
        m_logLines = 0;
        m_logLinesLeftOut = 0;
    }
    if (m_logLines < logLinesPerMinute) {
        ++m_logLines;
        Log::write(line);
    } else {
        ++m_logLinesLeftOut;
    }
}

void PhoneListeners::countLoad()
{
    m_server.m_openConnections = int(m_connections.size());
    m_server.m_heldBodyBytes = m_bodyBytes;
}

std::optional<QByteArray> PhoneListeners::route(quint64 connection, PhoneRequest request)
{
    if (request.method == u"GET" && request.path.startsWith(u"/font/")) {
        const std::optional<QByteArray> font = PhoneFonts::font(request.path.sliced(6));
        return font ? HttpParser::reply("200 OK", "font/ttf", "public, max-age=86400", *font) : notFound();
    }
    PhoneServer* server = &m_server;
    QMetaObject::invokeMethod(
        server, [server] { Q_EMIT server->seen(); }, Qt::QueuedConnection);

    if (request.method == u"GET" && request.path == u"/")
        return HttpParser::reply(
            "200 OK", "text/html; charset=utf-8", "no-store", PhonePage::html(m_token, m_computerName));
    if (request.method == u"GET" && request.path == u"/status")
        return HttpParser::jsonReply("200 OK", QStringLiteral("status"), m_server.statusText());
    if (request.method != u"POST" || request.path != u"/audio")
        return notFound();

    QString contentType = request.headers.value(QStringLiteral("content-type"), QStringLiteral("audio/mp4"));
    QByteArray body = std::move(request.body);
    if (contentType.toLower().contains(u"multipart/form-data")) {
        if (std::optional<HttpParser::FilePart> part = HttpParser::firstFilePart(body, contentType)) {
            body = std::move(part->content);
            contentType = part->contentType;
        }
    }
    Log::write(QStringLiteral("phone server: received %1 bytes of %2").arg(body.size()).arg(contentType));
    if (body.size() <= 1024)
        return HttpParser::jsonReply("400 Bad Request", QStringLiteral("error"), PhoneServer::emptyRecordingText());
    m_uploads.insert(connection);
    QMetaObject::invokeMethod(
        server, [server, connection, body, contentType] { server->answerUpload(connection, body, contentType); },
        Qt::QueuedConnection);
    return std::nullopt;
}

void PhoneListeners::answer(quint64 connection, const QByteArray& reply)
{
    // The upload has been let go of, whether its client is still there or not.
    releaseBody(connection);
    if (const auto found = m_connections.find(connection); found != m_connections.end())
        found->second->send(reply);
}

void PhoneListeners::report(Label label, bool running, const QString& message)
{
    PhoneServer* server = &m_server;
    const quint64 generation = m_generation;
    const auto listener = label == Label::https ? PhoneServer::Listener::https : PhoneServer::Listener::http;
    const quint16 port
        = label == Label::https ? (m_secure ? m_secure->serverPort() : 0) : (m_plain ? m_plain->serverPort() : 0);
    QMetaObject::invokeMethod(
        server, [=] { server->applyReport(generation, listener, running, port, message); }, Qt::QueuedConnection);
}

} // namespace kavo
