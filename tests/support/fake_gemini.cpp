#include "fake_gemini.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

namespace kavo::test {

namespace {

// A request head bigger than this is not coming from an HTTP client under test.
constexpr qsizetype maximumHeadSize = 64 * 1024;

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}

// The status names the service puts next to the HTTP code in its error bodies.
QString errorStatusName(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("INVALID_ARGUMENT");
    case 401:
        return QStringLiteral("UNAUTHENTICATED");
    case 403:
        return QStringLiteral("PERMISSION_DENIED");
    case 404:
        return QStringLiteral("NOT_FOUND");
    case 429:
        return QStringLiteral("RESOURCE_EXHAUSTED");
    case 500:
        return QStringLiteral("INTERNAL");
    case 503:
        return QStringLiteral("UNAVAILABLE");
    case 504:
        return QStringLiteral("DEADLINE_EXCEEDED");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

bool wantsClose(const QByteArray& version, const QByteArray& connectionHeader)
{
    const QByteArray option = connectionHeader.trimmed().toLower();
    if (version == "HTTP/1.0")
        return option != "keep-alive";
    return option == "close";
}

} // namespace

QByteArray FakeGemini::Request::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QJsonObject FakeGemini::Request::json() const
{
    return QJsonDocument::fromJson(body).object();
}

FakeGemini::FakeGemini(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeGemini::accept);
}

FakeGemini::~FakeGemini()
{
    // The sockets are the server's children; they go first so none calls back into a half-destroyed object.
    m_server.close();
    const QList<QTcpSocket*> sockets = m_server.findChildren<QTcpSocket*>();
    for (QTcpSocket* socket : sockets) {
        QObject::disconnect(socket, nullptr, this, nullptr);
        delete socket;
    }
}

bool FakeGemini::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 FakeGemini::port() const
{
    return m_server.serverPort();
}

QUrl FakeGemini::baseUrl() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port());
    return url;
}

void FakeGemini::enqueue(Reply reply)
{
    m_script.enqueue(std::move(reply));
}

FakeGemini::Reply FakeGemini::text(const QString& transcript)
{
    const QJsonObject part { { QStringLiteral("text"), transcript } };
    const QJsonObject content { { QStringLiteral("role"), QStringLiteral("model") },
        { QStringLiteral("parts"), QJsonArray { part } } };
    const QJsonObject candidate { { QStringLiteral("content"), content },
        { QStringLiteral("finishReason"), QStringLiteral("STOP") }, { QStringLiteral("index"), 0 } };
    return Reply { .body = compact({ { QStringLiteral("candidates"), QJsonArray { candidate } } }) };
}

FakeGemini::Reply FakeGemini::interaction(const QString& transcript)
{
    const QJsonObject item { { QStringLiteral("type"), QStringLiteral("text") },
        { QStringLiteral("text"), transcript } };
    const QJsonObject step { { QStringLiteral("content"), QJsonArray { item } } };
    return Reply { .body = compact({ { QStringLiteral("status"), QStringLiteral("completed") },
                       { QStringLiteral("steps"), QJsonArray { step } } }) };
}

FakeGemini::Reply FakeGemini::error(int status, const QString& message)
{
    const QJsonObject error { { QStringLiteral("code"), status }, { QStringLiteral("message"), message },
        { QStringLiteral("status"), errorStatusName(status) } };
    return Reply { .status = status, .body = compact({ { QStringLiteral("error"), error } }) };
}

FakeGemini::Reply FakeGemini::models(const QStringList& names)
{
    QJsonArray models;
    for (const QString& name : names)
        models.append(QJsonObject { { QStringLiteral("name"), QString(QStringLiteral("models/") + name) } });
    return Reply { .body = compact({ { QStringLiteral("models"), models } }) };
}

FakeGemini::Reply FakeGemini::dropped()
{
    return Reply { .dropConnection = true };
}

void FakeGemini::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connectionCount;
        m_connections.insert(socket, Connection {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            auto connection = m_connections.find(socket);
            if (connection == m_connections.end())
                return;
            connection->buffer += socket->readAll();
            serve(socket);
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
        if (parse == Parse::Incomplete)
            return;
        if (parse == Parse::Malformed) {
            const Reply reply = error(400, QStringLiteral("FakeGemini could not parse the request"));
            answer(socket, reply, true);
            return;
        }

        m_requests.append(request);
        Q_EMIT requestReceived(static_cast<int>(m_requests.size() - 1));
        const bool modelLookup
            = request.method == "GET" && request.path.startsWith("/v1beta/models/") && !request.path.contains(':');
        const Reply reply = modelLookup && m_answersModelLookups ? Reply { .body = "{}" } : nextReply();
        if (reply.delay > std::chrono::milliseconds::zero()) {
            connection = m_connections.find(socket);
            if (connection == m_connections.end())
                return;
            connection->waiting = true;
            QTimer::singleShot(reply.delay, Qt::PreciseTimer, socket, [this, socket, reply, closeAfter] {
                auto waiting = m_connections.find(socket);
                if (waiting == m_connections.end())
                    return;
                waiting->waiting = false;
                answer(socket, reply, closeAfter);
                serve(socket);
            });
            return;
        }
        answer(socket, reply, closeAfter);
    }
}

FakeGemini::Parse FakeGemini::takeRequest(QByteArray& buffer, Request& request, bool& closeAfter)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return buffer.size() > maximumHeadSize ? Parse::Malformed : Parse::Incomplete;

    QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> requestLine = lines.takeFirst().split(' ');
    if (requestLine.size() != 3 || requestLine.at(0).isEmpty() || !requestLine.at(1).startsWith('/')
        || !requestLine.at(2).startsWith("HTTP/1."))
        return Parse::Malformed;

    Request parsed { .method = requestLine.at(0), .path = requestLine.at(1), .headers = {}, .body = {} };
    for (const QByteArray& line : std::as_const(lines)) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Parse::Malformed;
        parsed.headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }
    // Clients under test send bodies with a length; chunked bodies are not understood here.
    if (!parsed.header("Transfer-Encoding").isEmpty())
        return Parse::Malformed;

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
    closeAfter = wantsClose(requestLine.at(2), parsed.header("Connection"));
    request = std::move(parsed);
    return Parse::Complete;
}

void FakeGemini::answer(QTcpSocket* socket, const Reply& reply, bool closeAfter)
{
    if (!reply.dropConnection) {
        QByteArray response
            = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
        if (!reply.contentType.isEmpty())
            response += "Content-Type: " + reply.contentType + "\r\n";
        response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        response += closeAfter ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
        response += reply.body;
        socket->write(response);
        if (!closeAfter)
            return;
    }
    // Forgotten at once, so nothing more is read or answered on this connection; the socket goes on disconnect.
    m_connections.remove(socket);
    socket->disconnectFromHost();
}

FakeGemini::Reply FakeGemini::nextReply()
{
    if (!m_script.isEmpty())
        return m_script.dequeue();
    return error(500, QStringLiteral("FakeGemini has no scripted reply left for request %1").arg(m_requests.size()));
}

} // namespace kavo::test
