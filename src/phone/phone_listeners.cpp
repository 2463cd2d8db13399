#include "phone_listeners.h"

#include "phone/local_addresses.h"
#include "phone/phone_connection.h"
#include "phone/phone_fonts.h"
#include "phone/phone_page.h"
#include "phone/phone_server.h"
#include "store/log.h"

#include <QSslConfiguration>

namespace kavo {

namespace {

// A TLS handshake gets this long; until it ends the socket waits among the pending connections.
constexpr int handshakeTimeoutMs = 10000;
// Sockets still in their handshake count against this, so it stays well above what idle clients could hold.
constexpr int maxPendingConnections = 1024;

QByteArray notFound()
{
    return HttpParser::reply("404 Not Found", "text/plain", "no-store", "Not found");
}

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
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity->certificate);
    configuration.setPrivateKey(identity->key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_secure = std::make_unique<QSslServer>();
    m_secure->setSslConfiguration(configuration);
    m_secure->setHandshakeTimeout(handshakeTimeoutMs);
    // The handshake is over when a connection becomes pending; newConnection comes before it.
    connect(m_secure.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = m_secure->nextPendingConnection())
            adopt(socket);
    });
    listen(*m_secure, Label::https, port);

    if (plainPort) {
        m_plain = std::make_unique<QTcpServer>();
        connect(m_plain.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_plain->nextPendingConnection())
                adopt(socket);
        });
        listen(*m_plain, Label::http, *plainPort);
    }
}

bool PhoneListeners::listen(QTcpServer& server, Label label, quint16 port)
{
    const QString name = label == Label::https ? QStringLiteral("https") : QStringLiteral("http");
    server.setMaxPendingConnections(maxPendingConnections);
    connect(&server, &QTcpServer::acceptError, this, [name, &server](QAbstractSocket::SocketError) {
        Log::write(QStringLiteral("phone server (%1) failed: %2").arg(name, server.errorString()));
    });
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
    const quint64 id = ++m_nextConnection;
    auto* connection = new PhoneConnection(
        socket, m_token, m_idleTimeout, [this, id](PhoneRequest request) { return route(id, std::move(request)); },
        this);
    m_connections.insert(id, connection);
    connect(connection, &QObject::destroyed, this, [this, id] { m_connections.remove(id); });
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
    QMetaObject::invokeMethod(
        server, [server, connection, body, contentType] { server->answerUpload(connection, body, contentType); },
        Qt::QueuedConnection);
    return std::nullopt;
}

void PhoneListeners::answer(quint64 connection, const QByteArray& reply)
{
    if (PhoneConnection* target = m_connections.value(connection))
        target->send(reply);
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
