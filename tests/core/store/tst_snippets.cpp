#include "store/snippet.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>

using kavo::Snippet;

namespace {

// Trigger, text, trigger, text...
QList<Snippet> snippetsOf(const QStringList& pairs)
{
    QList<Snippet> snippets;
    for (qsizetype index = 0; index + 1 < pairs.size(); index += 2)
        snippets.append(Snippet { QUuid::createUuid(), pairs[index], pairs[index + 1] });
    return snippets;
}

// Expansion's expression in its plain form, one flat list of alternatives, longest first, for generated
// triggers that are single-spaced and have one code unit per character.
QString expandedByFlatExpression(const QString& text, QList<Snippet> snippets)
{
    std::stable_sort(snippets.begin(), snippets.end(),
        [](const Snippet& left, const Snippet& right) { return left.trigger.size() > right.trigger.size(); });
    const QString apostrophe = u'[' + Snippet::apostrophes + u']';
    const QString guard = u"[\\p{L}\\p{N}"_qs + Snippet::apostrophes + u']';
    QStringList alternatives;
    for (const Snippet& snippet : snippets)
        alternatives.append(u'(' + QRegularExpression::escape(Snippet::plainApostrophes(snippet.trigger)) + u')');
    const QString flat = alternatives.join(u'|').replace(u"\\ "_qs, u"\\s+"_qs).replace(u"\\'"_qs, apostrophe);
    const QRegularExpression expression(u"(?<!"_qs + guard + u")(?:"_qs + flat + u")(?!"_qs + guard + u')',
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString result;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : expression.globalMatch(text)) {
        result += text.mid(copied, match.capturedStart() - copied) + snippets[match.lastCapturedIndex() - 1].text;
        copied = match.capturedEnd();
    }
    return result + text.mid(copied);
}

} // namespace

class TestSnippets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    void plainApostrophes() { QCOMPARE(Snippet::plainApostrophes(u"o'ʻʼ’‘`z “q” ´a"_qs), u"o''''''z “q” ´a"_qs); }

    void expand_data()
    {
        kavo::test::columns<QStringList, QString, QString>({ "snippets", "input", "expected" });
        const auto row = [](const char* name, const QStringList& snippets, const QString& input,
                             const QString& expected) { QTest::newRow(name) << snippets << input << expected; };
        const QStringList addr { "addr", "A\nB" };

        row("whole: case and final full stop", addr, "Addr.", "A\nB");
        row("whole: white space and punctuation trimmed", addr, " \taddr?!… \n", "A\nB");
        row("whole: other leading marks stay", addr, "  ¿addr!…\n", "  ¿A\nB!…\n");
        row("whole: diacritics ignored", { "cafe", "X" }, "Café.", "X");
        row("whole: any apostrophe", { "o'zbek", "X" }, "Oʻzbek.", "X");
        row("whole: own spacing, else inside", { "best regards", "Bye" }, "Best  regards.", "Bye.");
        row("inside: diacritics count", { "cafe", "X" }, "one café please", "one café please");

        row("letters, digits or apostrophes next to it", addr, " myaddr addrs addr2 2addr l'addr addr’s\n",
            " myaddr addrs addr2 2addr l'addr addr’s\n");
        row("every occurrence, any case, comma after", { "brb", "X" }, "BRB, brb.\nbrb", "X, X.\nX");
        row("Cyrillic", { "мой", "1", "мой адрес", "2" }, "Вот МОЙ  Адрес: мойка", "Вот 2: мойка");

        row("U+0027 triggers, U+02BB and U+2019 text", { "o'zbek", "X", "'bout", "Y" }, "oʻzbek ’bout", "X Y");
        row("U+2019 trigger, U+0027 and ` text", { "rock’n’roll", "R" }, "play rock'n`roll", "play R");

        row("line break between words", { "best regards", "Bye" }, "thanks\nbest\nregards", "thanks\nBye");
        row("spaces, tab between words", { "best  regards", "Bye" }, "best \t regards bestregards", "Bye bestregards");
        row("Unicode spaces between words", { "best regards", "Bye" }, "ok best\u00A0\u3000regards", "ok Bye");

        row("longest trigger wins", { "sign", "S", "sign off", "Bye" }, "sign off now, sign here", "Bye now, S here");
        row("equal lengths keep stored order", { "abc", "1", "ABC", "2" }, "x Abc y", "x 1 y");
        row("length in user-perceived characters", { "cafe", "1", "cafe\u0301", "2" }, "Café", "1");
        row("texts not expanded again", { "brb", "be right back", "back", "B" }, "brb, back", "be right back, B");

        row("blank trigger ignored", { "  \n", "X", "addr", "Y" }, " . \n", " . \n");
        row("trigger trimmed", { "  addr \n", "X" }, "go addr go", "go X go");
        row("empty list", {}, "  Hello.\n", "  Hello.\n");

        row("dot, bracket, plus", { "e.g.", "1", "[x]", "2", "a+b", "3" }, "exgx e.g. [x] aab a+b", "exgx 1 2 aab 3");
        row("backslash and dollar, texts literal", { "\\d$", "$1 \\1 ${0} $&" }, "1 \\d$!", "1 $1 \\1 ${0} $&!");

        row("surrogate pairs", { "addr", "A", "👍 ok", "F" }, "😀addr👍🏽 𝐀addr 👍 ok👍",
            "😀A👍🏽 𝐀addr F👍");
    }

    void expand()
    {
        QFETCH(QStringList, snippets);
        QFETCH(QString, input);
        QTEST(Snippet::expand(input, snippetsOf(snippets)), "expected");
    }

    // Alternatives are gathered by first character; the result must be that of one flat list.
    void expandMatchesFlatExpression()
    {
        const QStringList pieces { "sign", "SIGN", "ſign", "off", "o'k", "oʻk", "ok", "мой", "Мой", "x.y", "’s", "9" };
        const QStringList glue { " ", "  ", "\n", ", ", "", "'", " the " };
        QRandomGenerator random(20261206);
        const auto pick = [&](const QStringList& list) { return list[random.bounded(int(list.size()))]; };
        for (int round = 0; round < 300; ++round) {
            QList<Snippet> snippets;
            for (int index = random.bounded(1, 30); index > 0; --index) {
                const QStringList words { pick(pieces), pick(pieces), pick(pieces) };
                snippets.append(Snippet {
                    QUuid(), words.first(random.bounded(1, 4)).join(u' '), u'<' + QString::number(index) + u'>' });
            }
            QString text = u"zz"_qs;
            for (int word = 0; word < 30; ++word)
                text += pick(glue) + pick(pieces);
            QCOMPARE(Snippet::expand(text, snippets), expandedByFlatExpression(text, snippets));
        }
    }

    // Compiled triggers are reused between calls, and kept per thread: changed texts, order or triggers must show
    // at once, on any number of threads.
    void expandFollowsChangedSnippets()
    {
        const QList<Snippet> lists[] { snippetsOf({ "one", "1", "two", "2" }), snippetsOf({ "one", "I", "two", "2" }),
            snippetsOf({ "two", "2", "one", "I" }), snippetsOf({ "two", "2", "three", "I" }) };
        const QString expected[] { u"1 2 three"_qs, u"I 2 three"_qs, u"I 2 three"_qs, u"one 2 I"_qs };
        std::atomic<int> wrong = 0;
        const auto work = [&](int first) {
            for (int round = first; round < first + 400; ++round)
                wrong += Snippet::expand(u"one two three"_qs, lists[round % 4]) != expected[round % 4];
        };
        {
            std::jthread a(work, 0), b(work, 1), c(work, 2), d(work, 3);
        }
        QCOMPARE(wrong.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSnippets)
#include "tst_snippets.moc"
