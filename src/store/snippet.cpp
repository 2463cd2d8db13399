#include "snippet.h"

#include "json_support.h"

namespace kavo {

QJsonObject Snippet::toJson() const
{
    return QJsonObject {
        { QStringLiteral("id"), json::uuidText(id) },
        { QStringLiteral("trigger"), trigger },
        { QStringLiteral("text"), text },
    };
}

std::optional<Snippet> Snippet::fromJson(const QJsonObject& object)
{
    using json::Field;
    Snippet result;
    if (json::readUuid(object, QStringLiteral("id"), result.id) != Field::Valid
        || json::readString(object, QStringLiteral("trigger"), result.trigger) != Field::Valid
        || json::readString(object, QStringLiteral("text"), result.text) != Field::Valid)
        return std::nullopt;
    return result;
}

} // namespace kavo
