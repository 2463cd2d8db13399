#pragma once

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace kavo {

/// A name or term the model must spell exactly, optionally tied to one spoken language.
struct VocabularyWord
{
    Q_DECLARE_TR_FUNCTIONS(VocabularyWord)

public:
    QUuid id;
    QString word;
    QString language; ///< a language code, or empty for all languages

    bool operator==(const VocabularyWord&) const = default;

    QJsonObject toJson() const;
    /// All three keys are required; anything else gives nothing.
    static std::optional<VocabularyWord> fromJson(const QJsonObject& object);
};

} // namespace kavo
