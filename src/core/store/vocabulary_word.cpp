#include "vocabulary_word.h"

#include "json_support.h"

#include <QSet>

namespace kavo {
namespace {

bool isLineBreak(QChar character)
{
    switch (character.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\u0085':
    case u'\u2028':
    case u'\u2029':
        return true;
    default:
        return false;
    }
}

// The word-list format trims spaces and tabs only, so that other white space stays part of a word.
QString trimmedOfSpacesAndTabs(QStringView text)
{
    const auto isBlank = [](QChar character) { return character == u' ' || character == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

bool isKnownLanguage(const QString& code)
{
    const QList<VocabularyWord::Language> known = VocabularyWord::languages();
    return std::any_of(known.begin(), known.end(), [&](const auto& language) { return language.code == code; });
}

QSet<QString> lowerCasedWords(const QList<VocabularyWord>& words)
{
    QSet<QString> result;
    for (const VocabularyWord& word : words)
        result.insert(word.word.toLower());
    return result;
}

} // namespace

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

QList<VocabularyWord::Language> VocabularyWord::languages()
{
    return {
        { QString(), tr("All languages") },
        { QStringLiteral("uz-UZ"), tr("Uzbek") },
        { QStringLiteral("ru-RU"), tr("Russian") },
        { QStringLiteral("en-US"), tr("English") },
    };
}

QStringList VocabularyWord::parse(const QString& input)
{
    QStringList words;
    for (QStringView piece : QStringView(input).split(u',')) {
        const QStringView word = piece.trimmed();
        if (!word.isEmpty())
            words.append(word.toString());
    }
    return words;
}

QList<VocabularyWord> VocabularyWord::adding(
    const QString& input, const QString& language, const QList<VocabularyWord>& existing)
{
    QSet<QString> taken = lowerCasedWords(existing);
    QList<VocabularyWord> added;
    for (const QString& word : parse(input)) {
        const QString key = word.toLower();
        if (taken.contains(key))
            continue;
        taken.insert(key);
        added.append(VocabularyWord { QUuid::createUuid(), word, language });
    }
    return added;
}

QString VocabularyWord::addedMessage()
{
    return tr("Added to the vocabulary");
}

QString VocabularyWord::alreadyPresentMessage()
{
    return tr("Already in the vocabulary");
}

QList<VocabularyWord> VocabularyWord::importList(const QString& text)
{
    QList<VocabularyWord> words;
    qsizetype lineStart = 0;
    for (qsizetype position = 0; position <= text.size(); ++position) {
        if (position < text.size() && !isLineBreak(text[position]))
            continue;
        const QStringView line = QStringView(text).sliced(lineStart, position - lineStart);
        lineStart = position + 1;

        const qsizetype comma = line.indexOf(u',');
        const QString word = trimmedOfSpacesAndTabs(comma < 0 ? line : line.first(comma));
        if (word.isEmpty())
            continue;
        QString language;
        if (comma >= 0) {
            const QString code = trimmedOfSpacesAndTabs(line.sliced(comma + 1));
            if (isKnownLanguage(code))
                language = code;
        }
        words.append(VocabularyWord { QUuid::createUuid(), word, language });
    }
    return words;
}

QList<VocabularyWord> VocabularyWord::newWords(const QString& text, const QList<VocabularyWord>& existing)
{
    QSet<QString> taken = lowerCasedWords(existing);
    QList<VocabularyWord> result;
    for (VocabularyWord& word : importList(text)) {
        const QString key = word.word.toLower();
        if (taken.contains(key))
            continue;
        taken.insert(key);
        result.append(std::move(word));
    }
    return result;
}

QString VocabularyWord::exportList(const QList<VocabularyWord>& words)
{
    QString text;
    for (const VocabularyWord& word : words) {
        text += word.word;
        if (!word.language.isEmpty())
            text += u',' + word.language;
        text += u'\n';
    }
    // An empty list still gives its one line feed: the lines joined, then a final line feed.
    if (words.isEmpty())
        text += u'\n';
    return text;
}

} // namespace kavo
