// The phone server's request parser over whatever a client may send: it must never crash, and a request it reads
// has exactly the body its Content-Length announces, taken from the bytes right after the headers, so that bytes
// after it change nothing.
#include "fuzz_support.h"

#include "phone/http_parser.h"

using namespace kavo;

namespace {

const QString token = QStringLiteral("fuzz-token");

bool sameRequest(const PhoneRequest& a, const PhoneRequest& b)
{
    return a.method == b.method && a.path == b.path && a.query == b.query && a.headers == b.headers && a.body == b.body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray buffer = fuzz::bytes(data, size);
    const HttpParser::Parsed parsed = HttpParser::parse(buffer, token);

    if (const auto* rejection = std::get_if<PhoneRejection>(&parsed)) {
        KAVO_FUZZ_CHECK(rejection->status.size() > 4 && !rejection->message.isEmpty());
        return 0;
    }
    if (std::holds_alternative<HttpParser::Need>(parsed))
        return 0;

    const PhoneRequest& request = std::get<PhoneRequest>(parsed);
    const qsizetype bodyStart = buffer.indexOf("\r\n\r\n") + 4;
    const qint64 announced = request.headers.value(QStringLiteral("content-length"), QStringLiteral("0")).toLongLong();
    KAVO_FUZZ_CHECK(request.body.size() == announced);
    KAVO_FUZZ_CHECK(request.body == buffer.mid(bodyStart, announced));

    const HttpParser::Parsed longer = HttpParser::parse(buffer + "\r\n\r\nGET / HTTP/1.1\r\n\r\n", token);
    const auto* same = std::get_if<PhoneRequest>(&longer);
    KAVO_FUZZ_CHECK(same && sameRequest(*same, request));
    return 0;
}
