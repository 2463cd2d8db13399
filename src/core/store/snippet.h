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
    /// U+0027, U+02BB, U+02BC, U+2019, U+2018 and U+0060: matching treats them as one character.
    static inline const QString apostrophes = QStringLiteral(u"'\u02BB\u02BC\u2019\u2018`");

    QUuid id;
    QString trigger;
    QString text; ///< may contain line breaks

    bool operator==(const Snippet&) const = default;

    QJsonObject toJson() const;
    /// All three keys are required; anything else gives nothing.
    static std::optional<Snippet> fromJson(const QJsonObject& object);

    /// The text with every character of `apostrophes` replaced by U+0027.
    static QString plainApostrophes(const QString& text);

    /// The transcript after snippet expansion. A dictation that is, apart from surrounding white space and
    /// punctuation, a trigger (ignoring case and diacritics) becomes that snippet's text alone. Otherwise each
    /// trigger that stands as a whole phrase (no letter, digit or apostrophe on either side; any run of white
    /// space between its words; any apostrophe form; ignoring case) is replaced by its snippet's text,
    /// taken literally. Longer triggers, counted in user-perceived characters, win over shorter ones.
    /// Triggers are trimmed first, and those that are empty then are ignored.
    static QString expand(const QString& text, const QList<Snippet>& snippets);
};

} // namespace kavo
