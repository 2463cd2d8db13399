#pragma once

#include "phone/http_parser.h"
#include "phone/server_identity.h"

#include <QHash>
#include <QObject>
#include <QSslServer>
#include <QTcpServer>

#include <chrono>
#include <memory>
#include <optional>

namespace kavo {

class PhoneConnection;
class PhoneServer;

/// The phone server's sockets, on its own thread: the HTTPS and plain HTTP listeners, the connections they accept
/// and the routes. Whatever the main thread must know or do goes to the `PhoneServer` as a queued call.
class PhoneListeners : public QObject
{
    Q_OBJECT

public:
    PhoneListeners(PhoneServer& server, ServerIdentity identity);
    ~PhoneListeners() override;

    /// Closes the listeners of any earlier start and opens new ones; their reports carry `generation`.
    void start(quint64 generation, quint16 port, std::optional<quint16> plainPort, const QString& token,
        std::chrono::milliseconds idleTimeout);
    void stop();
    /// Sends an upload's reply, unless its connection has gone meanwhile.
    void answer(quint64 connection, const QByteArray& reply);

private:
    enum class Label { https, http };

    bool listen(QTcpServer& server, Label label, quint16 port);
    void adopt(QTcpSocket* socket);
    std::optional<QByteArray> route(quint64 connection, PhoneRequest request);
    void report(Label label, bool running, const QString& message = QString());

    PhoneServer& m_server;
    ServerIdentity m_identity;
    std::unique_ptr<QSslServer> m_secure;
    std::unique_ptr<QTcpServer> m_plain;
    quint64 m_generation = 0;
    QString m_token;
    std::chrono::milliseconds m_idleTimeout {};
    QString m_computerName;
    QHash<quint64, PhoneConnection*> m_connections;
    quint64 m_nextConnection = 0;
};

} // namespace kavo
