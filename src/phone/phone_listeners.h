#pragma once

#include "phone/http_parser.h"
#include "phone/server_identity.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSslConfiguration>
#include <QTcpServer>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace kavo {

class PhoneConnection;
class PhoneServer;

/// The phone server's sockets, on its own thread: the HTTPS and plain HTTP listeners, the connections they accept
/// and the routes. Whatever the main thread must know or do goes to the `PhoneServer` as a queued call.
///
/// It keeps a crowd of clients from taking the server down: new connections are taken a few at a time, at most
/// `PhoneServer::maxConnections` are open at once (the quietest one without a request makes room for a new one),
/// request bodies stay within `PhoneServer::bodyBudget` together from their headers until their answer, and the log
/// takes a limited number of lines a minute about single connections.
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
    bool makeRoom();
    void forget(quint64 connection);
    bool admitBody(quint64 connection, qint64 bytes);
    void releaseBody(quint64 connection);
    void logConnectionLine(const QString& line);
    void countLoad();
    std::optional<QByteArray> route(quint64 connection, PhoneRequest request);
    void report(Label label, bool running, const QString& message = QString());

    PhoneServer& m_server;
    ServerIdentity m_identity;
    QSslConfiguration m_tls;
    std::unique_ptr<QTcpServer> m_secure;
    std::unique_ptr<QTcpServer> m_plain;
    quint64 m_generation = 0;
    QString m_token;
    std::chrono::milliseconds m_idleTimeout {};
    QString m_computerName;
    // By id, which is also the order they came in: of two equally quiet ones, the older goes first.
    std::map<quint64, PhoneConnection*> m_connections;
    quint64 m_nextConnection = 0;
    // Set while connections are closed to make room, until the crowd thins out; the log tells of it once.
    bool m_crowded = false;
    // Body bytes granted by connection, and the uploads whose answer is being worked out.
    QHash<quint64, qint64> m_bodies;
    qint64 m_bodyBytes = 0;
    QSet<quint64> m_uploads;
    QDeadlineTimer m_logWindow;
    int m_logLines = 0;
    int m_logLinesLeftOut = 0;
};

} // namespace kavo
