#include "vocabulary_word.h"

#include "json_support.h"

namespace kavo {

QJsonObject VocabularyWord::toJson() const
{
    return QJsonObject {
        { QStringLiteral("id"), json::uuidText(id) },
        { QStringLiteral("word"), word },
        { QStringLiteral("language"), language },
    };
}

std::optional<VocabularyWord> VocabularyWord::fromJson(const QJsonObject& object)
{
    using json::Field;
    VocabularyWord result;
    if (json::readUuid(object, QStringLiteral("id"), result.id) != Field::Valid
        || json::readString(object, QStringLiteral("word"), result.word) != Field::Valid
        || json::readString(object, QStringLiteral("language"), result.language) != Field::Valid)
        return std::nullopt;
    return result;
}

} // namespace kavo
