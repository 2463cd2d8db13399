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
/// request, refuses what the parser refuses, and closes a connection that stops sending. Its headers must all arrive
/// within the idle timeout of the start; each piece of a body may take that long after the one before it.
class PhoneConnection : public QObject
{
    Q_OBJECT

public:
    /// Answers a request: the whole reply, or none while the answer is being worked out (an upload).
    using Router = std::function<std::optional<QByteArray>(PhoneRequest request)>;

    PhoneConnection(
        QTcpSocket* socket, QString token, std::chrono::milliseconds idleTimeout, Router router, QObject* parent);

    /// Sends the reply as the connection's last bytes and closes it once they are out. Called once.
    void send(const QByteArray& reply);

private:
    void receive();
    void refuse(const PhoneRejection& rejection);
    void close();

    QPointer<QTcpSocket> m_socket;
    QString m_token;
    std::chrono::milliseconds m_idleTimeout;
    Router m_router;
    QByteArray m_buffer;
    QTimer m_idle;
    bool m_answered = false;
    // After a refusal: when to stop waiting for the client to finish sending.
    std::optional<QDeadlineTimer> m_draining;
};

} // namespace kavo
