#pragma once

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace kavo {

/// A name or term the model must spell exactly, optionally tied to one spoken language.
struct VocabularyWord
{
    Q_DECLARE_TR_FUNCTIONS(VocabularyWord)

public:
    /// A language a word can be tied to: its code (empty for all languages) and its translated label.
    struct Language
    {
        QString code;
        QString label;

        bool operator==(const Language&) const = default;
    };

    QUuid id;
    QString word;
    QString language; ///< a language code, or empty for all languages

    bool operator==(const VocabularyWord&) const = default;

    QJsonObject toJson() const;
    /// All three keys are required; anything else gives nothing.
    static std::optional<VocabularyWord> fromJson(const QJsonObject& object);

    /// All languages, Uzbek, Russian, English: the choices of the vocabulary screen, in this order.
    static QList<Language> languages();

    /// The words of a comma-separated input: pieces trimmed of white space, empty ones dropped, order kept.
    static QStringList parse(const QString& input);

    /// The words a typed comma-separated input adds, in input order, each with a fresh id and the given
    /// language. A piece equal, ignoring case, to an existing word or to an earlier piece is left out.
    /// The caller puts them at the front of the vocabulary and shows addedMessage(), or
    /// alreadyPresentMessage() when nothing is new.
    static QList<VocabularyWord> adding(
        const QString& input, const QString& language, const QList<VocabularyWord>& existing);
    static QString addedMessage();
    static QString alreadyPresentMessage();

    /// Reads the word-list format: one word per line, optionally followed by "," and a language code.
    static QList<VocabularyWord> importList(const QString& text);
    /// The words of a word list that are not in `existing` yet, ignoring case; the first of duplicates wins.
    static QList<VocabularyWord> newWords(const QString& text, const QList<VocabularyWord>& existing);
    /// Writes the word-list format; every line, the last included, ends with a line feed, so an empty list
    /// gives a single line feed.
    static QString exportList(const QList<VocabularyWord>& words);
};

} // namespace kavo
