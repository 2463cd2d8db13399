#include "fake_gemini.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

namespace kavo::test {

namespace {

// The status name the service puts next to the code in its error bodies.
const QHash<int, QString> statusNames { { 400, "INVALID_ARGUMENT" }, { 401, "UNAUTHENTICATED" },
    { 403, "PERMISSION_DENIED" }, { 404, "NOT_FOUND" }, { 429, "RESOURCE_EXHAUSTED" }, { 500, "INTERNAL" },
    { 503, "UNAVAILABLE" }, { 504, "DEADLINE_EXCEEDED" } };

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

FakeGemini::FakeGemini(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeGemini::accept);
}

FakeGemini::~FakeGemini()
{
    // The sockets are the server's children; they go first so none calls back into a half-destroyed object.
    m_server.close();
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) {
        QObject::disconnect(socket, nullptr, this, nullptr);
        delete socket;
    }
}

QUrl FakeGemini::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

FakeGemini::Reply FakeGemini::text(const QString& transcript)
{
    const QJsonObject content { { "role", "model" },
        { "parts", QJsonArray { QJsonObject { { "text", transcript } } } } };
    const QJsonObject candidate { { "content", content }, { "finishReason", "STOP" }, { "index", 0 } };
    return Reply { .body = compact({ { "candidates", QJsonArray { candidate } } }) };
}

FakeGemini::Reply FakeGemini::interaction(const QString& transcript)
{
    const QJsonObject step { { "content", QJsonArray { QJsonObject { { "type", "text" }, { "text", transcript } } } } };
    return Reply { .body = compact({ { "status", "completed" }, { "steps", QJsonArray { step } } }) };
}

FakeGemini::Reply FakeGemini::error(int status, const QString& message)
{
    const QJsonObject error { { "code", status }, { "message", message },
        { "status", statusNames.value(status, "UNKNOWN") } };
    return Reply { .status = status, .body = compact({ { "error", error } }) };
}

FakeGemini::Reply FakeGemini::models(const QStringList& names)
{
    QJsonArray models;
    for (const QString& name : names)
        models.append(QJsonObject { { "name", QString("models/" + name) } });
    return Reply { .body = compact({ { "models", models } }) };
}

void FakeGemini::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_connections.insert(socket, Connection {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (auto connection = m_connections.find(socket); connection != m_connections.end()) {
                connection->buffer += socket->readAll();
                serve(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeGemini::serve(QTcpSocket* socket)
{
    for (;;) {
        // Looked up afresh each time: answering or a signal handler may have closed the connection.
        auto connection = m_connections.find(socket);
        if (connection == m_connections.end() || connection->waiting)
            return;
        Request request;
        bool closeAfter = false;
        const Parse parse = takeRequest(connection->buffer, request, closeAfter);
        if (parse == Parse::Malformed)
            answer(socket, error(400, QStringLiteral("FakeGemini could not parse the request")), true);
        if (parse != Parse::Complete)
            return;

        m_requests.append(request);
        Q_EMIT requestReceived(int(m_requests.size() - 1));
        const bool modelLookup
            = request.method == "GET" && request.path.startsWith("/v1beta/models/") && !request.path.contains(':');
        const Reply reply = modelLookup && m_answersModelLookups ? Reply { .body = "{}" }
            : m_script.isEmpty()
            ? error(500, QStringLiteral("FakeGemini has no scripted reply left for request %1").arg(m_requests.size()))
            : m_script.dequeue();
        if (reply.delay <= std::chrono::milliseconds::zero()) {
            answer(socket, reply, closeAfter);
            continue;
        }
        connection = m_connections.find(socket);
        if (connection == m_connections.end())
            return;
        connection->waiting = true;
        QTimer::singleShot(reply.delay, Qt::PreciseTimer, socket, [this, socket, reply, closeAfter] {
            if (auto waiting = m_connections.find(socket); waiting != m_connections.end()) {
                waiting->waiting = false;
                answer(socket, reply, closeAfter);
                serve(socket);
            }
        });
        return;
    }
}

FakeGemini::Parse FakeGemini::takeRequest(QByteArray& buffer, Request& request, bool& closeAfter)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return Parse::Incomplete;

    // Lines end with CR LF; the CR goes with the white space around each part.
    QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.takeFirst().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine.at(1).startsWith('/'))
        return Parse::Malformed;

    Request parsed { .method = requestLine.at(0), .path = requestLine.at(1), .headers = {}, .body = {} };
    for (const QByteArray& line : std::as_const(lines)) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Parse::Malformed;
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (!parsed.headers.contains(name))
            parsed.headers.insert(name, line.mid(colon + 1).trimmed());
    }
    qsizetype length = 0;
    if (const QByteArray lengthText = parsed.header("Content-Length"); !lengthText.isEmpty()) {
        bool valid = false;
        length = lengthText.toLongLong(&valid);
        if (!valid || length < 0)
            return Parse::Malformed;
    }
    const qsizetype bodyStart = headEnd + 4;
    if (buffer.size() - bodyStart < length)
        return Parse::Incomplete;

    parsed.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    closeAfter = parsed.header("Connection").toLower() == "close";
    request = std::move(parsed);
    return Parse::Complete;
}

void FakeGemini::answer(QTcpSocket* socket, const Reply& reply, bool closeAfter)
{
    if (!reply.dropConnection) {
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK" : " Error")
            + "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(reply.body.size())
            + (closeAfter ? "\r\nConnection: close" : "\r\nConnection: keep-alive") + "\r\n\r\n" + reply.body);
        if (!closeAfter)
            return;
    }
    // Forgotten at once, so nothing more is read or answered on this connection; the socket goes on disconnect.
    m_connections.remove(socket);
    socket->disconnectFromHost();
}

} // namespace kavo::test
