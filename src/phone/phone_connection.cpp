#include "phone_connection.h"

#include <QSslSocket>

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
    QTcpSocket* socket, QString token, std::chrono::milliseconds idleTimeout, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_token(std::move(token))
    , m_idleTimeout(idleTimeout)
    , m_hooks(std::move(hooks))
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
            m_hooks.log(QStringLiteral("phone server: closing a connection that stopped sending"));
        close();
    });
    connect(socket, &QTcpSocket::readyRead, this, &PhoneConnection::receive);
    // A handshake moves on in steps that never reach readyRead: the server answers each of the client's, and at the end
    // the connection is encrypted.
    if (auto* tls = qobject_cast<QSslSocket*>(socket)) {
        const auto moved = [this] { m_lastProgress = std::chrono::steady_clock::now(); };
        connect(tls, &QSslSocket::encryptedBytesWritten, this, moved);
        connect(tls, &QSslSocket::encrypted, this, moved);
    }
    connect(socket, &QTcpSocket::disconnected, this, &PhoneConnection::close);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A handshake that fails is a browser that does not trust the certificate yet, or no TLS client at all.
        const auto* tls = qobject_cast<QSslSocket*>(m_socket);
        const bool handshaking = tls && !tls->isEncrypted();
        if (error != QAbstractSocket::RemoteHostClosedError && !m_answered && !handshaking)
            m_hooks.log(QStringLiteral("phone server read error: ") + m_socket->errorString());
        close();
    });
    m_idle.start(m_idleTimeout);
    // A socket that waited to be taken may have read the first bytes already.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &PhoneConnection::receive, Qt::QueuedConnection);
}

void PhoneConnection::receive()
{
    m_lastProgress = std::chrono::steady_clock::now();
    if (m_draining && m_socket) {
        m_socket->skip(m_socket->bytesAvailable());
        if (!m_draining->hasExpired())
            m_idle.start(std::min(drainPause, std::chrono::milliseconds(m_draining->remainingTime())));
        return;
    }
    // One request per connection: whatever follows it is never read.
    while (!m_answered && m_socket && m_socket->bytesAvailable() > 0) {
        if (m_head)
            takeBody();
        else
            takeHead();
    }
}

void PhoneConnection::takeHead()
{
    // Never more than the parser needs to tell a header block from one too long.
    m_buffer += m_socket->read(HttpParser::headLookahead - m_buffer.size());
    HttpParser::ParsedHead parsed = HttpParser::parseHead(m_buffer, m_token);
    if (const auto* rejection = std::get_if<PhoneRejection>(&parsed))
        return refuse(*rejection);
    if (std::holds_alternative<HttpParser::Need>(parsed))
        return;
    HttpParser::Head& head = std::get<HttpParser::Head>(parsed);
    if (head.bodyLength > 0 && !m_hooks.admitBody(head.bodyLength))
        return refuse({ "503 Service Unavailable", tr("The computer is busy. Try again in a moment.") });
    m_holdsRequest = head.passedTokenCheck;
    // The body's whole length at once: it grows without moving, whatever its pieces.
    m_body.reserve(head.bodyLength);
    m_body.append(QByteArrayView(m_buffer)
                      .sliced(head.bodyStart)
                      .first(std::min(m_buffer.size() - head.bodyStart, qsizetype(head.bodyLength))));
    m_buffer = QByteArray();
    m_head = std::move(head);
    m_idle.start(m_idleTimeout);
    answerWhenWhole();
}

void PhoneConnection::takeBody()
{
    const qsizetype have = m_body.size();
    const qint64 wanted = std::min(chunkSize, m_head->bodyLength - have);
    m_body.resize(have + wanted);
    const qint64 got = m_socket->read(m_body.data() + have, wanted);
    m_body.resize(have + std::max<qint64>(got, 0));
    if (got < 0)
        return close();
    m_idle.start(m_idleTimeout);
    answerWhenWhole();
}

void PhoneConnection::answerWhenWhole()
{
    if (m_body.size() < m_head->bodyLength)
        return;
    m_idle.stop();
    m_answered = true;
    PhoneRequest request = std::move(m_head->request);
    request.body = std::exchange(m_body, QByteArray());
    m_head.reset();
    if (std::optional<QByteArray> reply = m_hooks.route(std::move(request)))
        send(*reply);
}

void PhoneConnection::refuse(const PhoneRejection& rejection)
{
    m_answered = true;
    m_hooks.log(QStringLiteral("phone server: answered ") + QString::fromLatin1(rejection.status));
    m_buffer = QByteArray();
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
    if (m_closed)
        return;
    m_closed = true;
    m_idle.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    Q_EMIT closed();
    deleteLater();
}

} // namespace kavo
