#include "phone_connection.h"

#include "store/log.h"

namespace kavo {

namespace {

// The most a connection takes from its socket at once, and the most Qt buffers for it unread.
constexpr qint64 chunkSize = 1048576;
// A refused client may still be sending its body: closing with its bytes unread would reset the connection and could
// lose the reply. Its bytes are dropped until it pauses this long, for this long at most.
constexpr auto drainPause = std::chrono::milliseconds(1000);
constexpr auto drainLimit = std::chrono::milliseconds(5000);

} // namespace

PhoneConnection::PhoneConnection(
    QTcpSocket* socket, QString token, std::chrono::milliseconds idleTimeout, Router router, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_token(std::move(token))
    , m_idleTimeout(idleTimeout)
    , m_router(std::move(router))
{
    socket->setParent(this);
    socket->setReadBufferSize(chunkSize);
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        if (m_draining) {
            m_draining.reset();
            if (m_socket)
                m_socket->disconnectFromHost();
            m_idle.start(m_idleTimeout);
            return;
        }
        if (!m_answered)
            Log::write(QStringLiteral("phone server: closing a connection that stopped sending"));
        close();
    });
    connect(socket, &QTcpSocket::readyRead, this, &PhoneConnection::receive);
    connect(socket, &QTcpSocket::disconnected, this, &PhoneConnection::close);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError && !m_answered)
            Log::write(QStringLiteral("phone server read error: ") + m_socket->errorString());
        close();
    });
    m_idle.start(m_idleTimeout);
    // A secure socket comes out of its handshake with the first bytes of the request often already read.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &PhoneConnection::receive, Qt::QueuedConnection);
}

void PhoneConnection::receive()
{
    if (m_draining && m_socket) {
        m_socket->skip(m_socket->bytesAvailable());
        if (!m_draining->hasExpired())
            m_idle.start(std::min(drainPause, std::chrono::milliseconds(m_draining->remainingTime())));
        return;
    }
    // One request per connection: whatever follows it is never read.
    while (!m_answered && m_socket && m_socket->bytesAvailable() > 0) {
        m_buffer += m_socket->read(chunkSize);
        HttpParser::Parsed parsed = HttpParser::parse(m_buffer, m_token);
        if (auto* request = std::get_if<PhoneRequest>(&parsed)) {
            m_idle.stop();
            m_answered = true;
            m_buffer.clear();
            if (std::optional<QByteArray> reply = m_router(std::move(*request)))
                send(*reply);
        } else if (const auto* rejection = std::get_if<PhoneRejection>(&parsed)) {
            refuse(*rejection);
        } else if (std::get<HttpParser::Need>(parsed) == HttpParser::Need::body) {
            m_idle.start(m_idleTimeout);
        }
    }
}

void PhoneConnection::refuse(const PhoneRejection& rejection)
{
    m_answered = true;
    Log::write(QStringLiteral("phone server: answered ") + QString::fromLatin1(rejection.status));
    m_buffer.clear();
    m_socket->write(HttpParser::jsonReply(rejection.status, QStringLiteral("error"), rejection.message));
    // What Qt holds unread would stop it reading on: the client could not finish, and its bytes would stay unread.
    m_socket->skip(m_socket->bytesAvailable());
    m_draining = QDeadlineTimer(drainLimit);
    m_idle.start(drainPause);
}

void PhoneConnection::send(const QByteArray& reply)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        close();
        return;
    }
    m_socket->write(reply);
    // Closing waits for the reply to go out; a client that never takes it is cut off after the idle timeout.
    m_socket->disconnectFromHost();
    if (m_socket && m_socket->state() != QAbstractSocket::UnconnectedState)
        m_idle.start(m_idleTimeout);
}

void PhoneConnection::close()
{
    m_idle.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    deleteLater();
}

} // namespace kavo
