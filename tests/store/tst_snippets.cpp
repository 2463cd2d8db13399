#include "store/snippet.h"
#include "support/data_folder.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

using kavo::Snippet;

namespace {

QList<Snippet> snippetsOf(const QStringList& triggers, const QStringList& texts)
{
    QList<Snippet> snippets;
    for (qsizetype index = 0; index < triggers.size(); ++index)
        snippets.append(Snippet { QUuid::createUuid(), triggers[index], texts[index] });
    return snippets;
}

// Replaces whole-phrase triggers with one flat list of alternatives, longest first: the plain reading of how
// expansion matches, against which the faster expression is checked.
QString expandedByFlatExpression(const QString& text, const QList<Snippet>& snippets)
{
    QList<Snippet> working;
    for (const Snippet& snippet : snippets) {
        if (!snippet.trigger.trimmed().isEmpty())
            working.append(Snippet { snippet.id, snippet.trigger.trimmed(), snippet.text });
    }
    const auto characters = [](const QString& trigger) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, trigger);
        int count = 0;
        while (finder.toNextBoundary() >= 0)
            ++count;
        return count;
    };
    std::stable_sort(working.begin(), working.end(), [&](const Snippet& left, const Snippet& right) {
        return characters(left.trigger) > characters(right.trigger);
    });

    const QString apostrophe = u'[' + Snippet::apostrophes + u']';
    QStringList alternatives;
    for (const Snippet& snippet : working) {
        QStringList words;
        for (const QString& word : snippet.trigger.split(QRegularExpression(u"\\s+"_qs), Qt::SkipEmptyParts)) {
            QStringList pieces;
            for (const QString& piece : word.split(QRegularExpression(apostrophe)))
                pieces.append(QRegularExpression::escape(piece));
            words.append(pieces.join(apostrophe));
        }
        alternatives.append(u'(' + words.join(u"\\s+"_qs) + u')');
    }
    const QString guard = u"[\\p{L}\\p{N}"_qs + Snippet::apostrophes + u']';
    const QRegularExpression expression(
        u"(?<!"_qs + guard + u")(?:"_qs + alternatives.join(u'|') + u")(?!"_qs + guard + u')',
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

    QString result;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : expression.globalMatch(text)) {
        int group = 1;
        while (!match.hasCaptured(group))
            ++group;
        result += text.mid(copied, match.capturedStart() - copied) + working[group - 1].text;
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

    void plainApostrophes()
    {
        QCOMPARE(Snippet::plainApostrophes(u"o'ʻʼ’‘`z\u02BC"_qs), u"o''''''z'"_qs);
        QCOMPARE(Snippet::plainApostrophes(u"“quoted” ´acute´"_qs), u"“quoted” ´acute´"_qs);
    }

    void expand_data()
    {
        QTest::addColumn<QStringList>("triggers");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");

        const QStringList address { u"addr"_qs };
        const QStringList street { u"221B Baker Street\nLondon"_qs };
        const auto row
            = [](const char* name, const QStringList& triggers, const QStringList& texts, const QString& input,
                  const QString& expected) { QTest::newRow(name) << triggers << texts << input << expected; };

        row("whole dictation, capital and full stop", address, street, u"Addr."_qs, street[0]);
        row("whole dictation, white space and mixed punctuation", address, street, u"  ¿addr!…\n"_qs,
            u"  ¿221B Baker Street\nLondon!…\n"_qs);
        row("whole dictation, trailing punctuation after space", address, street, u" \taddr?!… \n"_qs, street[0]);
        row("whole dictation ignores diacritics", { u"cafe"_qs }, { u"X"_qs }, u"Café."_qs, u"X"_qs);
        row("whole dictation ignores decomposed diacritics", { u"Café"_qs }, { u"X"_qs }, u"cafe\u0301"_qs, u"X"_qs);
        row("whole dictation folds case fully", { u"strasse"_qs }, { u"X"_qs }, u"Straße!"_qs, u"X"_qs);
        row("whole dictation with another apostrophe", { u"o'zbek"_qs }, { u"X"_qs }, u"Oʻzbek."_qs, u"X"_qs);
        row("regular expression keeps diacritics", { u"cafe"_qs }, { u"X"_qs }, u"one café please"_qs,
            u"one café please"_qs);
        row("whole dictation needs the words' own spacing", { u"best regards"_qs }, { u"Bye"_qs }, u"Best  regards."_qs,
            u"Bye."_qs);

        row("followed by letters", address, street, u"my addresses"_qs, u"my addresses"_qs);
        row("preceded by letters", address, street, u"the myaddr"_qs, u"the myaddr"_qs);
        row("followed by a comma", address, street, u"send addr, please"_qs,
            u"send 221B Baker Street\nLondon, please"_qs);
        row("upper case in the middle", address, street, u"it is ADDR now"_qs,
            u"it is 221B Baker Street\nLondon now"_qs);
        row("every occurrence", { u"brb"_qs }, { u"be right back"_qs }, u"brb, brb.\nbrb"_qs,
            u"be right back, be right back.\nbe right back"_qs);
        row("digit after", address, street, u"see addr2 here"_qs, u"see addr2 here"_qs);
        row("digit before", address, street, u"see 2addr here"_qs, u"see 2addr here"_qs);
        row("apostrophe before", address, street, u"l'addr is"_qs, u"l'addr is"_qs);
        row("curly apostrophe after", address, street, u"the addr’s"_qs, u"the addr’s"_qs);

        row("U+0027 trigger, U+02BB text", { u"o'zbek"_qs }, { u"X"_qs }, u"men oʻzbek tilida"_qs, u"men X tilida"_qs);
        row("U+02BB trigger, U+2019 text", { u"oʻzbek"_qs }, { u"X"_qs }, u"men o’zbek tilida"_qs, u"men X tilida"_qs);
        row("U+2019 trigger, U+0027 and backtick text", { u"rock’n’roll"_qs }, { u"R"_qs }, u"play rock'n`roll now"_qs,
            u"play R now"_qs);

        row("two words across a line break", { u"best regards"_qs }, { u"Bye"_qs }, u"thanks\nbest\nregards"_qs,
            u"thanks\nBye"_qs);
        row("two words across several spaces and a tab", { u"best  regards"_qs }, { u"Bye"_qs },
            u"ok best \t  regards ok"_qs, u"ok Bye ok"_qs);
        row("two words across no-break and ideographic spaces", { u"best regards"_qs }, { u"Bye"_qs },
            u"ok best\u00A0\u3000regards"_qs, u"ok Bye"_qs);
        row("words must be separated", { u"best regards"_qs }, { u"Bye"_qs }, u"ok bestregards"_qs,
            u"ok bestregards"_qs);

        row("longer trigger wins over its start", { u"sign"_qs, u"sign off"_qs }, { u"S"_qs, u"Bye"_qs },
            u"sign off now, sign here"_qs, u"Bye now, S here"_qs);
        row("longer trigger wins whatever the case of its first letter",
            { u"SIGN here please"_qs, u"Sign"_qs, u"sign off"_qs }, { u"H"_qs, u"S"_qs, u"Bye"_qs },
            u"sign off, sign"_qs, u"Bye, S"_qs);
        row("trigger beginning with an apostrophe", { u"'bout"_qs }, { u"about"_qs }, u"just ’bout done"_qs,
            u"just about done"_qs);
        row("equal lengths keep stored order", { u"abc"_qs, u"ABC"_qs }, { u"1"_qs, u"2"_qs }, u"x Abc y"_qs,
            u"x 1 y"_qs);
        row("length counts user-perceived characters", { u"cafe"_qs, u"cafe\u0301"_qs }, { u"1"_qs, u"2"_qs },
            u"Café"_qs, u"1"_qs);
        row("replacements are not expanded again", { u"brb"_qs, u"back"_qs }, { u"be right back"_qs, u"B"_qs },
            u"brb, back"_qs, u"be right back, B"_qs);

        row("white-space trigger ignored", { u"   "_qs, u"\n\t"_qs }, { u"X"_qs, u"Y"_qs }, u"a   b\n\t"_qs,
            u"a   b\n\t"_qs);
        row("white-space trigger never matches a blank dictation", { u"  "_qs, u"addr"_qs }, { u"X"_qs, u"Y"_qs },
            u" . \n"_qs, u" . \n"_qs);
        row("trigger trimmed", { u"  addr \n"_qs }, street, u"go addr go"_qs, u"go 221B Baker Street\nLondon go"_qs);
        row("empty list", {}, {}, u"  Hello.\n"_qs, u"  Hello.\n"_qs);
        row("no match keeps white space", address, street, u"  Hello.\n"_qs, u"  Hello.\n"_qs);

        row("dot is literal", { u"e.g."_qs }, { u"for example"_qs }, u"exgx and e.g. this"_qs,
            u"exgx and for example this"_qs);
        row("brackets and plus are literal", { u"[x]"_qs, u"a+b"_qs }, { u"box"_qs, u"sum"_qs }, u"tick [x] aab a+b"_qs,
            u"tick box aab sum"_qs);
        row("backslash and dollar are literal", { u"\\d$"_qs }, { u"D"_qs }, u"1 \\d$ 2"_qs, u"1 D 2"_qs);

        row("Cyrillic, case ignored", { u"мой адрес"_qs }, { u"Ташкент"_qs }, u"Вот МОЙ  Адрес: дом"_qs,
            u"Вот Ташкент: дом"_qs);
        row("Cyrillic letters block", { u"мой"_qs }, { u"X"_qs }, u"мойка"_qs, u"мойка"_qs);
        row("Uzbek with apostrophe", { u"toʻliq ism"_qs }, { u"Alisher Navoiy"_qs }, u"Mening To'liq ismim"_qs,
            u"Mening To'liq ismim"_qs);
        row("Uzbek whole word", { u"toʻliq ism"_qs }, { u"Alisher Navoiy"_qs }, u"bu TOʼLIQ ISM, ha"_qs,
            u"bu Alisher Navoiy, ha"_qs);

        row("replacement inserted literally", address, { u"cost $1 \\1 \\n ${0} $&"_qs }, u"it: addr!"_qs,
            u"it: cost $1 \\1 \\n ${0} $&!"_qs);
        row("emoji around", address, { u"A"_qs }, u"😀addr👍🏽 and 🇺🇿 addr"_qs,
            u"😀A👍🏽 and 🇺🇿 A"_qs);
        row("emoji trigger", { u"👍 ok"_qs }, { u"fine"_qs }, u"so 👍 ok 👍"_qs, u"so fine 👍"_qs);
        row("letter outside the basic plane blocks", address, { u"A"_qs }, u"𝐀addr"_qs, u"𝐀addr"_qs);
    }

    void expand()
    {
        QFETCH(QStringList, triggers);
        QFETCH(QStringList, texts);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(Snippet::expand(input, snippetsOf(triggers, texts)), expected);
    }

    void expandAgreesWithFlatExpression()
    {
        const QStringList pieces { u"sign"_qs, u"Sign"_qs, u"SIGN"_qs, u"off"_qs, u"o'k"_qs, u"oʻk"_qs, u"ok"_qs,
            u"my"_qs, u"addr"_qs, u"мой"_qs, u"Адрес"_qs, u"x.y"_qs, u"’s"_qs, u"ſign"_qs, u"9"_qs };
        const QStringList glue { u" "_qs, u"  "_qs, u"\n"_qs, u", "_qs, u". "_qs, QString(), u"'"_qs, u" the "_qs };
        QRandomGenerator random(20261206);
        const auto pick = [&](const QStringList& list) { return list[random.bounded(int(list.size()))]; };

        for (int round = 0; round < 300; ++round) {
            QList<Snippet> snippets;
            for (int index = 0, count = random.bounded(1, 30); index < count; ++index) {
                QStringList words;
                for (int word = 0, length = random.bounded(1, 4); word < length; ++word)
                    words.append(pick(pieces));
                snippets.append(Snippet { QUuid(), words.join(u' '), u"<"_qs + QString::number(index) + u'>' });
            }
            QString text = u"zz"_qs;
            for (int word = 0; word < 30; ++word)
                text += pick(glue) + pick(pieces);
            QCOMPARE(Snippet::expand(text, snippets), expandedByFlatExpression(text, snippets));
        }
    }

    // The compiled triggers are reused between calls; the texts and any change of the list must still count.
    void expandFollowsChangedSnippets()
    {
        QList<Snippet> snippets = snippetsOf({ u"one"_qs, u"two"_qs }, { u"1"_qs, u"2"_qs });
        QCOMPARE(Snippet::expand(u"one two"_qs, snippets), u"1 2"_qs);
        snippets[0].text = u"I"_qs;
        QCOMPARE(Snippet::expand(u"one two"_qs, snippets), u"I 2"_qs);
        snippets.swapItemsAt(0, 1);
        QCOMPARE(Snippet::expand(u"one two"_qs, snippets), u"I 2"_qs);
        snippets[1].trigger = u"three"_qs;
        QCOMPARE(Snippet::expand(u"one two three"_qs, snippets), u"one 2 I"_qs);
    }

    void expandFromSeveralThreads()
    {
        const QList<Snippet> first = snippetsOf({ u"alpha"_qs }, { u"A"_qs });
        const QList<Snippet> second = snippetsOf({ u"alpha"_qs, u"beta"_qs }, { u"1"_qs, u"2"_qs });
        std::atomic<int> wrong = 0;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int thread = 0; thread < 4; ++thread) {
            threads.emplace_back(QThread::create([&, thread] {
                for (int round = 0; round < 200; ++round) {
                    const bool useFirst = (round + thread) % 2 == 0;
                    const QString result = Snippet::expand(u"alpha beta"_qs, useFirst ? first : second);
                    if (result != (useFirst ? u"A beta"_qs : u"1 2"_qs))
                        ++wrong;
                }
            }));
            threads.back()->start();
        }
        for (auto& thread : threads)
            QVERIFY(thread->wait(60000));
        QCOMPARE(wrong.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSnippets)
#include "tst_snippets.moc"
