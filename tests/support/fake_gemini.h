#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

#include <chrono>
#include <utility>

class QTcpSocket;

namespace kavo::test {

/// A stand-in for the Gemini service: a plain HTTP/1.1 server on 127.0.0.1 that records every request and answers
/// from a script the test sets up. Point the client at it with KAVO_GEMINI_BASE_URL=baseUrl().
class FakeGemini : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray path; ///< the request target as sent, query included
        QMap<QByteArray, QByteArray> headers; ///< by lower-case name; the first of a name counts
        QByteArray body;

        /// The header of that name, whatever its case; empty when absent.
        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
        /// The body as a JSON object; empty when it is not one.
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
        /// The MIME type and the bytes of a generate-content request's audio part.
        std::pair<QString, QByteArray> audio() const
        {
            const QJsonObject data = json()["contents"][0]["parts"][1]["inline_data"].toObject();
            return { data["mime_type"].toString(), QByteArray::fromBase64(data["data"].toString().toLatin1()) };
        }
    };

    struct Reply
    {
        int status = 200;
        QByteArray body {};
        /// How long to wait before answering (or dropping), measured from the end of the request.
        std::chrono::milliseconds delay { 0 };
        bool dropConnection = false; ///< close the connection without answering
    };

    explicit FakeGemini(QObject* parent = nullptr);
    ~FakeGemini() override;

    /// Listens on an ephemeral port of 127.0.0.1.
    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QUrl baseUrl() const;

    /// Adds a reply to the script; each request takes the next one. Once the script runs out every request is
    /// answered with a 500 error that says so.
    void enqueue(Reply reply) { m_script.enqueue(std::move(reply)); }
    /// Answers lookups of one model (what a client's warm-up sends) with an empty object instead of the script.
    void answerModelLookups(bool answer) { m_answersModelLookups = answer; }
    int pendingReplies() const { return int(m_script.size()); }
    QList<Request> requests() const { return m_requests; }

    /// A generate-content reply: one candidate with one text part that finished with STOP.
    static Reply text(const QString& transcript);
    /// A transcription-route reply: one step whose content is one text item.
    static Reply interaction(const QString& transcript);
    /// The service's error shape, {"error": {"code", "message", "status"}}, with that HTTP status.
    static Reply error(int status, const QString& message);
    /// A model list; each name gets the "models/" prefix the service puts in front.
    static Reply models(const QStringList& names);
    /// Reads the request, then closes the connection without a word.
    static Reply dropped() { return Reply { .dropConnection = true }; }

Q_SIGNALS:
    void requestReceived(int index);

private:
    struct Connection
    {
        QByteArray buffer;
        bool waiting = false; ///< a delayed reply is pending; later requests on the connection wait their turn
    };

    enum class Parse { Incomplete, Complete, Malformed };

    void accept();
    void serve(QTcpSocket* socket);
    /// Takes one whole request off the front of the buffer.
    static Parse takeRequest(QByteArray& buffer, Request& request, bool& closeAfter);
    void answer(QTcpSocket* socket, const Reply& reply, bool closeAfter);

    QTcpServer m_server;
    QHash<QTcpSocket*, Connection> m_connections;
    QQueue<Reply> m_script;
    QList<Request> m_requests;
    bool m_answersModelLookups = false;
};

} // namespace kavo::test
