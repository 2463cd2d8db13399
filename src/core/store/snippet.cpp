#include "snippet.h"

#include "json_support.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <optional>

namespace kavo {
namespace {

// Dropped from both ends of a dictation before it is compared with a whole trigger.
constexpr QStringView edgePunctuation = u".,!?;:\u2026";

const QString apostropheClass = u'[' + Snippet::apostrophes + u']';
const QString wordCharacterClass = QStringLiteral(u"[\\p{L}\\p{N}") + Snippet::apostrophes + u']';

bool isApostrophe(char16_t unit)
{
    switch (unit) {
    case u'\'':
    case u'\u02BB':
    case u'\u02BC':
    case u'\u2019':
    case u'\u2018':
    case u'`':
        return true;
    default:
        return false;
    }
}

// Trigger lengths are counted as the user sees them: one per grapheme cluster, so "é" written as
// e + combining accent, or an emoji made of several code points, counts as one character.
qsizetype characterCount(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

// Full Unicode case folding ("ß" and "ss" fold alike), which QString::toCaseFolded() does not do.
QString caseFolded(const QString& text)
{
    const auto* source = reinterpret_cast<const UChar*>(text.constData());
    const auto sourceLength = static_cast<int32_t>(text.size());
    QString folded(text.size() + text.size() / 2 + 1, Qt::Uninitialized);
    for (;;) {
        UErrorCode error = U_ZERO_ERROR;
        const int32_t length = u_strFoldCase(reinterpret_cast<UChar*>(folded.data()),
            static_cast<int32_t>(folded.size()), source, sourceLength, U_FOLD_CASE_DEFAULT, &error);
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            folded.resize(length);
            continue;
        }
        if (U_FAILURE(error))
            return text.toCaseFolded();
        folded.truncate(length);
        return folded;
    }
}

// Equal keys mean equal texts when case and diacritics are ignored: the text is decomposed, its non-spacing
// marks dropped, and the rest case-folded.
QString comparisonKey(const QString& text)
{
    QString bare = text.normalized(QString::NormalizationForm_D);
    QChar* units = bare.data();
    const qsizetype size = bare.size();
    qsizetype kept = 0;
    for (qsizetype index = 0; index < size; ++index) {
        // No character below U+0300 is a non-spacing mark, which keeps the usual text on the quick path.
        if (units[index].unicode() < 0x300) {
            units[kept++] = units[index];
            continue;
        }
        const bool pair = units[index].isHighSurrogate() && index + 1 < size && units[index + 1].isLowSurrogate();
        const char32_t codePoint
            = pair ? QChar::surrogateToUcs4(units[index], units[index + 1]) : char32_t(units[index].unicode());
        const bool keep = QChar::category(codePoint) != QChar::Mark_NonSpacing;
        if (keep)
            units[kept++] = units[index];
        if (pair) {
            ++index;
            if (keep)
                units[kept++] = units[index];
        }
    }
    bare.truncate(kept);
    return caseFolded(bare);
}

// The dictation as it is compared with whole triggers: without surrounding white space, then without the
// punctuation at its ends, apostrophes made plain.
QString dictationCore(const QString& text)
{
    QStringView core = QStringView(text).trimmed();
    while (!core.isEmpty() && edgePunctuation.contains(core.front()))
        core = core.sliced(1);
    while (!core.isEmpty() && edgePunctuation.contains(core.back()))
        core.chop(1);
    return Snippet::plainApostrophes(core.toString());
}

QStringList wordsOf(const QString& trigger)
{
    QStringList words;
    qsizetype start = -1;
    for (qsizetype index = 0; index <= trigger.size(); ++index) {
        const bool atSpace = index == trigger.size() || trigger[index].isSpace();
        if (!atSpace && start < 0) {
            start = index;
        } else if (atSpace && start >= 0) {
            words.append(trigger.sliced(start, index - start));
            start = -1;
        }
    }
    return words;
}

// One capturing group that matches the trigger literally, with any apostrophe form for an apostrophe and any
// run of white space between words.
QString triggerPattern(const QString& trigger)
{
    QStringList words;
    for (const QString& word : wordsOf(trigger)) {
        QStringList pieces;
        qsizetype start = 0;
        for (qsizetype index = 0; index <= word.size(); ++index) {
            if (index < word.size() && !isApostrophe(word[index].unicode()))
                continue;
            pieces.append(QRegularExpression::escape(QStringView(word).sliced(start, index - start)));
            start = index + 1;
        }
        words.append(pieces.join(apostropheClass));
    }
    return u'(' + words.join(QStringLiteral("\\s+")) + u')';
}

// The pattern that matches the trigger's first character, ignoring case; triggers with the same one share it.
QString firstCharacterPattern(const QString& trigger)
{
    if (isApostrophe(trigger[0].unicode()))
        return apostropheClass;
    const qsizetype length = trigger[0].isHighSurrogate() && trigger.size() > 1 ? 2 : 1;
    return QRegularExpression::escape(trigger.first(length).toCaseFolded());
}

// What expansion needs of one list of triggers, built once per list.
struct Matcher
{
    QStringList triggers; ///< trimmed, non-empty, in stored order: identifies the list
    QList<qsizetype> order; ///< positions in `triggers`, longest trigger first, equal lengths in stored order
    QStringList keys; ///< comparison keys of the triggers, in `order`
    QRegularExpression expression;
    QList<qsizetype> groupRanks; ///< capturing group i + 1 matches the trigger at triggers[order[groupRanks[i]]]

    explicit Matcher(const QStringList& workingTriggers)
        : triggers(workingTriggers)
    {
        QList<qsizetype> lengths;
        for (const QString& trigger : triggers) {
            order.append(order.size());
            lengths.append(characterCount(trigger));
        }
        std::stable_sort(order.begin(), order.end(),
            [&](qsizetype left, qsizetype right) { return lengths[left] > lengths[right]; });
        for (const qsizetype position : order)
            keys.append(comparisonKey(Snippet::plainApostrophes(triggers[position])));
        buildExpression();
    }

private:
    // One alternative per trigger, longest first, each in its own capturing group, between a look-behind and a
    // look-ahead that refuse a letter, digit or apostrophe next to the match. Triggers whose first characters
    // differ other than in case never match at the same place, so the alternatives are gathered by first character
    // behind a look-ahead for it, keeping their order inside each gathering: the result is the same as with one flat
    // list, but the engine passes over a whole gathering with one test instead of trying each trigger in turn,
    // which makes a list of 200 triggers about three times faster.
    void buildExpression()
    {
        QStringList firsts;
        QList<QStringList> alternatives;
        QList<QList<qsizetype>> ranks;
        for (qsizetype rank = 0; rank < order.size(); ++rank) {
            const QString& trigger = triggers[order[rank]];
            const QString first = firstCharacterPattern(trigger);
            qsizetype gathering = firsts.indexOf(first);
            if (gathering < 0) {
                gathering = firsts.size();
                firsts.append(first);
                alternatives.append(QStringList());
                ranks.append(QList<qsizetype>());
            }
            alternatives[gathering].append(triggerPattern(trigger));
            ranks[gathering].append(rank);
        }

        QStringList gatherings;
        for (qsizetype gathering = 0; gathering < firsts.size(); ++gathering) {
            gatherings.append(QStringLiteral("(?=") + firsts[gathering] + QStringLiteral(")(?:")
                + alternatives[gathering].join(u'|') + u')');
            groupRanks += ranks[gathering];
        }
        expression.setPattern(QStringLiteral("(?<!") + wordCharacterClass + QStringLiteral(")(?:")
            + gatherings.join(u'|') + QStringLiteral(")(?!") + wordCharacterClass + u')');
        expression.setPatternOptions(
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
        expression.optimize();
    }
};

// Compiling the expression of a few hundred triggers costs some twenty times more than matching a long
// transcript, and the list rarely changes between dictations, so each thread keeps the matcher of the last list it saw.
const Matcher& matcherFor(const QStringList& triggers)
{
    thread_local std::optional<Matcher> cached;
    if (!cached || cached->triggers != triggers)
        cached.emplace(triggers);
    return *cached;
}

} // namespace

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

QString Snippet::plainApostrophes(const QString& text)
{
    const auto first
        = std::find_if(text.cbegin(), text.cend(), [](QChar character) { return isApostrophe(character.unicode()); });
    if (first == text.cend())
        return text;
    QString result = text;
    for (auto character = result.begin() + (first - text.cbegin()); character != result.end(); ++character) {
        if (isApostrophe(character->unicode()))
            *character = u'\'';
    }
    return result;
}

QString Snippet::expand(const QString& text, const QList<Snippet>& snippets)
{
    QStringList triggers;
    QList<qsizetype> sources;
    for (qsizetype index = 0; index < snippets.size(); ++index) {
        const QString trigger = snippets[index].trigger.trimmed();
        if (trigger.isEmpty())
            continue;
        triggers.append(trigger);
        sources.append(index);
    }
    if (triggers.isEmpty())
        return text;

    const Matcher& matcher = matcherFor(triggers);
    const auto textOfRank
        = [&](qsizetype rank) -> const QString& { return snippets[sources[matcher.order[rank]]].text; };

    const qsizetype wholeMatch = matcher.keys.indexOf(comparisonKey(dictationCore(text)));
    if (wholeMatch >= 0)
        return textOfRank(wholeMatch);

    QRegularExpressionMatchIterator matches = matcher.expression.globalMatch(text);
    if (!matches.hasNext())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result += QStringView(text).sliced(copied, match.capturedStart() - copied);
        // Only the alternative that matched has a captured group, so it is also the last one captured.
        result += textOfRank(matcher.groupRanks[match.lastCapturedIndex() - 1]);
        copied = match.capturedEnd();
    }
    result += QStringView(text).sliced(copied);
    return result;
}

} // namespace kavo
