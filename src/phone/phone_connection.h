#pragma once

#include "phone/http_parser.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace kavo {

/// One accepted phone connection on the server's thread, from its first byte to its one reply: it gathers the
/// request, refuses what the parser refuses, and closes a connection that stops sending. Its TLS handshake and headers
/// must all arrive within the idle timeout of its start; each piece of a body may take that long after the one before
/// it. The headers are read once; the body goes straight into a buffer of its announced length.
class PhoneConnection : public QObject
{
    Q_OBJECT

public:
    /// What a connection asks of the server around it.
    struct Hooks
    {
        /// Answers a request: the whole reply, or none while the answer is being worked out (an upload).
        std::function<std::optional<QByteArray>(PhoneRequest request)> route;
        /// Whether a body of this many bytes may come in now. What is granted stays counted until the server lets go
        /// of the request.
        std::function<bool(qint64 bytes)> admitBody;
        /// Writes a line about the connection to the log.
        std::function<void(const QString& line)> log;
    };

    PhoneConnection(
        QTcpSocket* socket, QString token, std::chrono::milliseconds idleTimeout, Hooks hooks, QObject* parent);

    /// Sends the reply as the connection's last bytes and closes it once they are out. Called once.
    void send(const QByteArray& reply);
    /// Ends the connection at once, without a word to the client.
    void close();
    /// The client passed the token check with a request that the server is still taking in or answering. Other
    /// connections (a handshake, headers on their way, a refusal, a font going out) may be closed to make room, the
    /// one that has gone longest without progress first.
    bool holdsRequest() const { return m_holdsRequest; }
    /// When the client last moved on: the connection's start, a step of its TLS handshake, or bytes it sent.
    std::chrono::steady_clock::time_point lastProgress() const { return m_lastProgress; }

Q_SIGNALS:
    /// The connection is over and deletes itself next; emitted once.
    void closed();

private:
    void receive();
    void takeHead();
    void takeBody();
    void answerWhenWhole();
    void refuse(const PhoneRejection& rejection);

    QPointer<QTcpSocket> m_socket;
    QString m_token;
    std::chrono::milliseconds m_idleTimeout;
    Hooks m_hooks;
    // The bytes up to the end of the header block; then the head and the body as it comes.
    QByteArray m_buffer;
    std::optional<HttpParser::Head> m_head;
    QByteArray m_body;
    QTimer m_idle;
    bool m_answered = false;
    bool m_holdsRequest = false;
    bool m_closed = false;
    std::chrono::steady_clock::time_point m_lastProgress = std::chrono::steady_clock::now();
    // After a refusal: when to stop waiting for the client to finish sending.
    std::optional<QDeadlineTimer> m_draining;
};

} // namespace kavo
