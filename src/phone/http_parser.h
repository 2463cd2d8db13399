#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QString>

#include <optional>
#include <variant>

namespace kavo {

/// One request as the phone server reads it.
struct PhoneRequest
{
    QString method;
    /// The target before "?", not percent-decoded.
    QString path;
    /// Query values, percent-decoded; a later duplicate replaces an earlier one.
    QHash<QString, QString> query;
    /// Header values by lower-case name.
    QHash<QString, QString> headers;
    QByteArray body;
};

/// A request the server refuses before routing it: the status line and the message of its JSON error.
struct PhoneRejection
{
    QByteArray status;
    QString message;

    bool operator==(const PhoneRejection&) const = default;
};

/// The phone server's HTTP/1.1: what a connection's bytes so far amount to, the file in a multipart upload, and
/// the replies, all laid out byte for byte. One request per connection, so nothing is read past its body.
class HttpParser
{
    Q_DECLARE_TR_FUNCTIONS(HttpParser)

public:
    static constexpr qsizetype headerLimit = 16384;
    /// The most bytes `parseHead` looks at: a header block at the limit and the blank line that ends it.
    static constexpr qsizetype headLookahead = headerLimit + 4;
    static constexpr qint64 bodyLimit = 52428800;

    /// More bytes are needed: the header block is not complete yet, or the body is shorter than its length.
    enum class Need { headers, body };
    using Parsed = std::variant<PhoneRequest, PhoneRejection, Need>;

    /// A request whose header block is complete: all of it but the body, and where the body starts and how long it is.
    struct Head
    {
        PhoneRequest request;
        qsizetype bodyStart = 0;
        qint64 bodyLength = 0;
        /// The request went through the token check, which every request but a font download must pass.
        bool passedTokenCheck = false;
    };
    using ParsedHead = std::variant<Head, PhoneRejection, Need>;

    /// Reads the whole buffer received so far. Every request but a font download must carry `token` as its "t"
    /// query value, unless `token` is empty.
    static Parsed parse(const QByteArray& buffer, const QString& token);
    /// Reads the header block at the start of the buffer, with the checks of `parse`; `Need::headers` until it is
    /// complete. What follows the block is not looked at, so a connection reads its headers once.
    static ParsedHead parseHead(QByteArrayView buffer, const QString& token);

    struct FilePart
    {
        QByteArray content;
        QString contentType;
    };
    /// The first part of a multipart body that carries a file (a file name or an audio type), or none.
    static std::optional<FilePart> firstFilePart(const QByteArray& body, const QString& contentType);

    /// A whole reply: status line, the four headers and the body.
    static QByteArray reply(const QByteArray& status, const QByteArray& contentType, const QByteArray& cacheControl,
        const QByteArray& body);
    /// A reply whose body is the compact JSON object {key: value}, not to be cached.
    static QByteArray jsonReply(const QByteArray& status, const QString& key, const QString& value);
};

} // namespace kavo
