#include "qr_code.h"

#include <qrencode.h>

#include <memory>
#include <mutex>

namespace kavo {
namespace {

struct EncodedDeleter
{
    void operator()(QRcode* code) const { QRcode_free(code); }
};
using EncodedPtr = std::unique_ptr<QRcode, EncodedDeleter>;

struct CacheEntry
{
    QString text;
    std::optional<QRCode> code;
};

} // namespace

std::optional<QRCode> QRCode::make(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const EncodedPtr encoded(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M));
    if (!encoded || encoded->width <= 0)
        return std::nullopt;
    QRCode code;
    code.size = encoded->width;
    code.dark.resize(qsizetype(code.size) * code.size);
    bool anyDark = false;
    // Bit 0 of each module says dark; the other bits say what the module belongs to.
    for (qsizetype index = 0; index < code.dark.size(); ++index) {
        code.dark[index] = (encoded->data[index] & 1) != 0;
        anyDark = anyDark || code.dark[index];
    }
    if (!anyDark)
        return std::nullopt;
    return code;
}

std::optional<QRCode> QRCode::cached(const QString& text)
{
    static std::mutex mutex;
    static std::optional<CacheEntry> entry;
    // Held while encoding, so that callers asking for the same text at once encode it once.
    std::lock_guard lock(mutex);
    if (!entry || entry->text != text)
        entry = CacheEntry { text, make(text) };
    return entry->code;
}

QString QRCode::terminalText() const
{
    constexpr int quietZone = 4;
    const int side = size + 2 * quietZone;
    const auto isDark = [this](int row, int column) {
        row -= quietZone;
        column -= quietZone;
        return row >= 0 && row < size && column >= 0 && column < size && dark[row * size + column];
    };
    QString text;
    for (int row = 0; row < side; row += 2) {
        for (int column = 0; column < side; ++column) {
            const bool top = isDark(row, column);
            const bool bottom = isDark(row + 1, column);
            text += top ? (bottom ? u'█' : u'▀') : (bottom ? u'▄' : u' ');
        }
        text += u'\n';
    }
    return text;
}

} // namespace kavo
