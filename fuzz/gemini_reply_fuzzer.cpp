// The readers of the Gemini service's replies over any body: each gives its answer or throws the errors the client
// reports (a reply that is not JSON, or JSON without what was asked for), never anything else.
#include "fuzz_support.h"

#include "transcription/gemini_client.h"
#include "transcription/gemini_error.h"
#include "transcription/note_filer.h"

#include <algorithm>

using namespace kavo;

namespace {

template <typename Read> void readReply(Read read)
{
    try {
        read();
    } catch (const GeminiError&) {
    } catch (const JsonError&) { }
}

void checkText(const QString& text)
{
    KAVO_FUZZ_CHECK(!text.isEmpty());
    KAVO_FUZZ_CHECK(text == text.trimmed());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray reply = fuzz::bytes(data, size);
    readReply([&] { checkText(GeminiClient::generatedText(reply)); });
    readReply([&] { checkText(GeminiClient::interactionText(reply)); });
    readReply([&] {
        const QStringList names = GeminiClient::modelNames(reply);
        KAVO_FUZZ_CHECK(std::is_sorted(names.begin(), names.end()));
        const std::optional<QString> picked = GeminiClient::pickModel(names, QStringLiteral("gemini-3.8-flash"));
        KAVO_FUZZ_CHECK(!picked || names.contains(*picked) || *picked == u"gemini-3.8-flash");
    });
    readReply([&] {
        const NoteFiler::Reply note = NoteFiler::reply(QString::fromUtf8(reply));
        KAVO_FUZZ_CHECK(note.text == note.text.trimmed());
        for (const QString& line : { note.result.topic, note.result.folder })
            KAVO_FUZZ_CHECK(!line.contains(u'\n') && !line.contains(u'\r'));
    });
    KAVO_FUZZ_CHECK(!GeminiClient::errorMessage(reply).isNull());
    return 0;
}
