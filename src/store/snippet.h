#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace kavo {

/// A short spoken phrase that stands for a longer stored text.
struct Snippet
{
    QUuid id;
    QString trigger;
    QString text; ///< may contain line breaks

    bool operator==(const Snippet&) const = default;

    QJsonObject toJson() const;
    /// All three keys are required; anything else gives nothing.
    static std::optional<Snippet> fromJson(const QJsonObject& object);
};

} // namespace kavo
