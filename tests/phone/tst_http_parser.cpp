#include "phone/http_parser.h"
#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using test::row;

namespace {

// What a parse came to, in one line: "GET /status body=0 type=" for a request, the status of a rejection, or what is
// still needed.
QByteArray outcome(const HttpParser::Parsed& parsed)
{
    if (const auto* request = std::get_if<PhoneRequest>(&parsed))
        return (request->method + u' ' + request->path + u" body=" + QString::number(request->body.size()) + u" type="
            + request->headers.value(QStringLiteral("content-type")))
            .toUtf8();
    if (const auto* rejection = std::get_if<PhoneRejection>(&parsed))
        return rejection->status;
    return std::get<HttpParser::Need>(parsed) == HttpParser::Need::headers ? "need headers" : "need body";
}

// A GET request whose header block, without the blank line after it, is `size` bytes long.
QByteArray headerBlockOf(qsizetype size)
{
    QByteArray head = "GET /status?t=abc HTTP/1.1\r\nX-Padding: ";
    return head + QByteArray(size - head.size(), 'p');
}

} // namespace

class HttpParserTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        test::columns<QByteArray, QString, QByteArray>({ "buffer", "token", "outcome" });
        row("status with the token", QByteArray("GET /status?t=abc HTTP/1.1\r\nHost: pc\r\n\r\n"), "abc",
            QByteArray("GET /status body=0 type="));
        row("wrong token", QByteArray("GET /status?t=abd HTTP/1.1\r\n\r\n"), "abc", QByteArray("403 Forbidden"));
        row("no token", QByteArray("GET /status HTTP/1.1\r\n\r\n"), "abc", QByteArray("403 Forbidden"));
        row("longer token", QByteArray("GET /status?t=abcd HTTP/1.1\r\n\r\n"), "abc", QByteArray("403 Forbidden"));
        row("token checked before the route", QByteArray("GET /nothing HTTP/1.1\r\n\r\n"), "abc",
            QByteArray("403 Forbidden"));
        row("no server token", QByteArray("GET /status HTTP/1.1\r\n\r\n"), "", QByteArray("GET /status body=0 type="));
        row("font without a token", QByteArray("GET /font/Onest-Bold.ttf HTTP/1.1\r\n\r\n"), "abc",
            QByteArray("GET /font/Onest-Bold.ttf body=0 type="));
        row("only GET fetches fonts without a token", QByteArray("POST /font/x HTTP/1.1\r\n\r\n"), "abc",
            QByteArray("403 Forbidden"));
        row("token percent-decoded, later duplicate wins", QByteArray("GET /?t=x&t=a%62c&flag HTTP/1.1\r\n\r\n"), "abc",
            QByteArray("GET / body=0 type="));
        row("broken escape left as it is", QByteArray("GET /?t=ab%6 HTTP/1.1\r\n\r\n"), "ab%6",
            QByteArray("GET / body=0 type="));
        row("headers incomplete", QByteArray("GET /status?t=abc HTTP/1.1\r\nHost: pc\r\n"), "abc",
            QByteArray("need headers"));
        row("headers of 16384 bytes", headerBlockOf(16384) + "\r\n\r\n", "abc", QByteArray("GET /status body=0 type="));
        row("16384 bytes without their end", headerBlockOf(16384), "abc", QByteArray("need headers"));
        row("16385 bytes without their end", headerBlockOf(16385), "abc",
            QByteArray("431 Request Header Fields Too Large"));
        row("headers of 16385 bytes", headerBlockOf(16385) + "\r\n\r\n", "abc",
            QByteArray("431 Request Header Fields Too Large"));
        row("not UTF-8", QByteArray("GET /st\xff HTTP/1.1\r\n\r\n"), "", QByteArray("400 Bad Request"));
        row("one word", QByteArray("GET\r\n\r\n"), "", QByteArray("400 Bad Request"));
        row("header names in any case, values trimmed",
            QByteArray("POST /audio HTTP/1.1\r\nCONTENT-Type: \t audio/wav \r\ncontent-length: +5\r\n\r\n12345"), "",
            QByteArray("POST /audio body=5 type=audio/wav"));
        row("body cut at its length", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: 3\r\n\r\n12345"), "",
            QByteArray("POST /audio body=3 type="));
        row("body still coming", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: 6\r\n\r\n12345"), "",
            QByteArray("need body"));
        row("largest body", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: 52428800\r\n\r\n"), "",
            QByteArray("need body"));
        row("body too large", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: 52428801\r\n\r\n"), "",
            QByteArray("413 Content Too Large"));
        row("length with letters", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: 12a\r\n\r\n"), "",
            QByteArray("400 Bad Request"));
        row("negative length", QByteArray("POST /audio HTTP/1.1\r\nContent-Length: -1\r\n\r\n"), "",
            QByteArray("400 Bad Request"));
        row("empty length", QByteArray("POST /audio HTTP/1.1\r\nContent-Length:\r\n\r\n"), "",
            QByteArray("400 Bad Request"));
    }

    void parse()
    {
        const auto [buffer, token] = test::fetch<QByteArray, QString>({ "buffer", "token" });
        QTEST(outcome(HttpParser::parse(buffer, token)), "outcome");
    }

    // The first part with a file name or an audio type, with its own type or "audio/mp4", without the line break
    // before the next delimiter.
    void firstFilePart_data()
    {
        test::columns<QByteArray, QString, QString>({ "body", "contentType", "part" });
        const QByteArray twoParts = "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n"
                                    "--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.m4a\"\r\n"
                                    "Content-Type:  audio/x-m4a\r\n\r\nAUDIO\r\n--XyZ--\r\n";
        row("file after a text field", twoParts, "multipart/form-data; boundary=XyZ", "AUDIO|audio/x-m4a");
        row("quoted boundary", twoParts, "multipart/form-data; BOUNDARY=\"XyZ\"; charset=x", "AUDIO|audio/x-m4a");
        row("no type line", QByteArray("--b\r\nContent-Disposition: form-data; filename=\"r\"\r\n\r\nRAW"),
            "multipart/form-data; boundary=b", "RAW|audio/mp4");
        row("audio type without a file name", QByteArray("--b\r\ncontent-type: audio/webm\r\n\r\nW\r\n--b--"),
            "multipart/form-data; boundary=b", "W|audio/webm");
        row("text fields only", QByteArray("--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nx\r\n--b--"),
            "multipart/form-data; boundary=b", "");
        row("no boundary", twoParts, "multipart/form-data", "");
        row("empty boundary", twoParts, "multipart/form-data; boundary=\"\"", "");
    }

    void firstFilePart()
    {
        const auto [body, contentType] = test::fetch<QByteArray, QString>({ "body", "contentType" });
        const std::optional<HttpParser::FilePart> part = HttpParser::firstFilePart(body, contentType);
        QTEST(part ? QString::fromUtf8(part->content) + u'|' + part->contentType : QString(), "part");
    }

    void replyLayout()
    {
        QCOMPARE(HttpParser::jsonReply("400 Bad Request", QStringLiteral("error"), QStringLiteral("The \"one\"")),
            QByteArray("HTTP/1.1 400 Bad Request\r\nContent-Type: application/json\r\nContent-Length: 23\r\n"
                       "Cache-Control: no-store\r\nConnection: close\r\n\r\n{\"error\":\"The \\\"one\\\"\"}"));
    }
};

QTEST_GUILESS_MAIN(HttpParserTest)
#include "tst_http_parser.moc"
