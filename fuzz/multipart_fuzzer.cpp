// The reader of multipart uploads over any content type and body: the input's first line is the Content-Type
// header's value, the rest the body. It must never crash, and the file it finds is a piece of the body.
#include "fuzz_support.h"

#include "phone/http_parser.h"

using namespace kavo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype newline = input.indexOf('\n');
    if (newline < 0)
        return 0;
    const QString contentType = QString::fromUtf8(input.first(newline));
    const QByteArray body = input.sliced(newline + 1);

    const std::optional<HttpParser::FilePart> part = HttpParser::firstFilePart(body, contentType);
    if (part) {
        KAVO_FUZZ_CHECK(part->content.size() <= body.size());
        KAVO_FUZZ_CHECK(body.contains(part->content));
    }
    return 0;
}
