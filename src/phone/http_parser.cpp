#include "http_parser.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <cctype>

namespace kavo {

namespace {

const QByteArray headerEnd = QByteArrayLiteral("\r\n\r\n");

QString trimmedOfBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.sliced(begin, end - begin).toString();
}

std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// A query value with its %XX escapes decoded; as it came when an escape is broken or the bytes are not UTF-8.
QString percentDecoded(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    QByteArray decoded;
    for (qsizetype index = 0; index < bytes.size(); ++index) {
        if (bytes[index] != '%') {
            decoded += bytes[index];
            continue;
        }
        if (index + 2 >= bytes.size() || !isxdigit(uchar(bytes[index + 1])) || !isxdigit(uchar(bytes[index + 2])))
            return value;
        decoded += char(bytes.mid(index + 1, 2).toInt(nullptr, 16));
        index += 2;
    }
    return strictUtf8(decoded).value_or(value);
}

// Compares a secret in time that depends only on the expected secret's length, so that timing tells nothing of
// how much of a guess was right.
bool sameSecret(const QString& given, const QString& expected)
{
    const QByteArray guess = given.toUtf8();
    const QByteArray secret = expected.toUtf8();
    qsizetype difference = guess.size() ^ secret.size();
    for (qsizetype index = 0; index < secret.size(); ++index)
        difference |= uchar(secret[index]) ^ uchar(index < guess.size() ? guess[index] : 0);
    return difference == 0;
}

// A Content-Length value: an optionally signed decimal integer, else none.
std::optional<qint64> decimal(const QString& text)
{
    const qsizetype digits = text.startsWith(u'+') || text.startsWith(u'-') ? 1 : 0;
    if (text.size() == digits)
        return std::nullopt;
    for (qsizetype index = digits; index < text.size(); ++index) {
        if (!text[index].isDigit() || text[index].unicode() > 0x7F)
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

HttpParser::Parsed HttpParser::parse(const QByteArray& buffer, const QString& token)
{
    ParsedHead parsed = parseHead(buffer, token);
    if (auto* rejection = std::get_if<PhoneRejection>(&parsed))
        return std::move(*rejection);
    if (const Need* need = std::get_if<Need>(&parsed))
        return *need;
    Head& head = std::get<Head>(parsed);
    if (buffer.size() - head.bodyStart < head.bodyLength)
        return Need::body;
    head.request.body = buffer.mid(head.bodyStart, head.bodyLength);
    return std::move(head.request);
}

HttpParser::ParsedHead HttpParser::parseHead(QByteArrayView buffer, const QString& token)
{
    const qsizetype end = buffer.first(std::min(buffer.size(), headLookahead)).indexOf(headerEnd);
    if (end < 0) {
        if (buffer.size() > headerLimit)
            return PhoneRejection { "431 Request Header Fields Too Large", tr("The request headers are too long.") };
        return Need::headers;
    }
    const PhoneRejection unreadable { "400 Bad Request", tr("The request could not be read.") };
    const std::optional<QString> head = strictUtf8(buffer.first(end));
    if (!head)
        return unreadable;
    const QStringList lines = head->split(QStringLiteral("\r\n"));
    const QStringList requestLine = lines.constFirst().split(u' ', Qt::SkipEmptyParts);
    if (requestLine.size() < 2)
        return unreadable;

    PhoneRequest request;
    request.method = requestLine[0];
    const QString& target = requestLine[1];
    const qsizetype question = target.indexOf(u'?');
    request.path = target.left(question);
    if (question >= 0) {
        for (const QString& piece : target.mid(question + 1).split(u'&', Qt::SkipEmptyParts)) {
            const qsizetype equals = piece.indexOf(u'=');
            if (equals >= 0)
                request.query.insert(piece.left(equals), percentDecoded(piece.mid(equals + 1)));
        }
    }
    const bool isFont = request.method == u"GET" && request.path.startsWith(u"/font/");
    if (!isFont && !token.isEmpty() && !sameSecret(request.query.value(QStringLiteral("t")), token))
        return PhoneRejection { "403 Forbidden", tr("Wrong or missing token.") };

    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qsizetype colon = lines[index].indexOf(u':');
        if (colon >= 0)
            request.headers.insert(trimmedOfBlanks(QStringView(lines[index]).first(colon)).toLower(),
                trimmedOfBlanks(QStringView(lines[index]).sliced(colon + 1)));
    }
    qint64 length = 0;
    if (request.headers.contains(QStringLiteral("content-length"))) {
        const std::optional<qint64> value = decimal(request.headers.value(QStringLiteral("content-length")));
        if (!value || *value < 0)
            return PhoneRejection { "400 Bad Request", tr("The Content-Length header is not valid.") };
        if (*value > bodyLimit)
            return PhoneRejection { "413 Content Too Large", tr("The recording is too large.") };
        length = *value;
    }
    return Head { std::move(request), end + headerEnd.size(), length, !isFont };
}

std::optional<HttpParser::FilePart> HttpParser::firstFilePart(const QByteArray& body, const QString& contentType)
{
    const qsizetype boundaryAt = contentType.indexOf(QStringLiteral("boundary="), 0, Qt::CaseInsensitive);
    if (boundaryAt < 0)
        return std::nullopt;
    QString boundary = contentType.mid(boundaryAt + 9);
    if (boundary.startsWith(u'"'))
        boundary = boundary.mid(1).section(u'"', 0, 0);
    boundary = trimmedOfBlanks(boundary);
    if (boundary.isEmpty())
        return std::nullopt;

    const QByteArray delimiter = "--" + boundary.toUtf8();
    qsizetype at = body.indexOf(delimiter);
    while (at >= 0) {
        const qsizetype headerStart = at + delimiter.size();
        const qsizetype separator = body.indexOf(headerEnd, headerStart);
        if (separator < 0)
            return std::nullopt;
        const QString header
            = strictUtf8(QByteArrayView(body).sliced(headerStart, separator - headerStart)).value_or(QString());
        const qsizetype contentStart = separator + headerEnd.size();
        const qsizetype next = body.indexOf(delimiter, contentStart);
        QByteArray content = body.mid(contentStart, next < 0 ? -1 : next - contentStart);
        if (content.size() > 1 && content.endsWith("\r\n"))
            content.chop(2);
        const QString lowered = header.toLower();
        if (lowered.contains(u"filename=") || lowered.contains(u"audio/")) {
            QString type = QStringLiteral("audio/mp4");
            for (const QString& line : header.split(QStringLiteral("\r\n"))) {
                if (line.toLower().startsWith(u"content-type:")) {
                    type = trimmedOfBlanks(QStringView(line).sliced(13));
                    break;
                }
            }
            return FilePart { std::move(content), type };
        }
        at = next;
    }
    return std::nullopt;
}

QByteArray HttpParser::reply(
    const QByteArray& status, const QByteArray& contentType, const QByteArray& cacheControl, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nCache-Control: " + cacheControl
        + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray HttpParser::jsonReply(const QByteArray& status, const QString& key, const QString& value)
{
    const QByteArray body = QJsonDocument(QJsonObject { { key, value } }).toJson(QJsonDocument::Compact);
    return reply(status, "application/json", "no-store", body);
}

} // namespace kavo
