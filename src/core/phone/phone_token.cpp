#include "phone_token.h"

#include <QRandomGenerator>

namespace kavo {

static_assert(sizeof(PhoneToken::alphabet) - 1 == 32, "a byte modulo 32 must pick every letter");

QString PhoneToken::make()
{
    std::array<quint32, length> words {};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    std::array<quint8, length> bytes {};
    for (int index = 0; index < length; ++index)
        bytes[index] = quint8(words[index]);
    return fromBytes(bytes);
}

QString PhoneToken::fromBytes(const std::array<quint8, length>& bytes)
{
    QString token;
    token.reserve(length);
    for (const quint8 byte : bytes)
        token.append(QLatin1Char(alphabet[byte % 32]));
    return token;
}

} // namespace kavo
