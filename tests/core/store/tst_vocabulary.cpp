#include "store/vocabulary_word.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QSet>
#include <QTest>

using kavo::VocabularyWord;
using kavo::test::row;

namespace {

// "word" or "word,language" for each word, joined by "|", when every word has an id of its own.
QString described(const QList<VocabularyWord>& words)
{
    QStringList result;
    QSet<QUuid> ids { QUuid() };
    for (const VocabularyWord& word : words) {
        result.append(word.language.isEmpty() ? word.word : word.word + u',' + word.language);
        ids.insert(word.id);
    }
    return ids.size() == words.size() + 1 ? result.join(u'|') : u"<ids not fresh>"_qs;
}

enum How { parse, typed, list, newFromList };

QList<VocabularyWord> wordsOf(const QString& described)
{
    QList<VocabularyWord> words;
    for (const QString& word : described.split(u'|', Qt::SkipEmptyParts))
        words.append(VocabularyWord { QUuid::createUuid(), word.section(u',', 0, 0), word.section(u',', 1) });
    return words;
}

} // namespace

class TestVocabulary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    // Typed input, word lists, and the words of either that are not present yet (typed ones in the chosen language).
    void reading_data()
    {
        kavo::test::columns<How, QString, QString, QString>({ "how", "existing", "input", "expected" });
        row("parse", parse, "", " Gemini ,,New  York,\t\n, ,b", "Gemini|New  York|b");
        row("typed, in order", typed, "", "Kavo, Gemini", "Kavo,uz-UZ|Gemini,uz-UZ");
        row("typed, case duplicates", typed, "gemini|Москва", "Kavo, GEMINI, kavo, МОСКВА, Ok", "Kavo,uz-UZ|Ok,uz-UZ");
        row("typed, commas and spaces only", typed, "", " ,, , ", "");
        row("list, first wins", newFromList, "KAVO", "kavo\nGemini\ngemini,en-US\nOk,uz-UZ", "Gemini|Ok,uz-UZ");
        row("list, trimmed, empty skipped", list, "", " \tKavo Voice ,\t uz-UZ \n,uz-UZ\n   \n\t,", "Kavo Voice,uz-UZ");
        row("list, other codes dropped", list, "", "P,fr-FR\nB,EN-US\nR,en\nO,\na,b,en-US", "P|B|R|O|a");
        row("list, line breaks", list, "", "A\r\nB\rC\u2028D", "A|B|C|D");
    }

    void reading()
    {
        QFETCH(How, how);
        QFETCH(QString, existing);
        QFETCH(QString, input);
        QTEST(how == parse     ? VocabularyWord::parse(input).join(u'|')
                : how == typed ? described(VocabularyWord::adding(input, u"uz-UZ"_qs, wordsOf(existing)))
                : how == list  ? described(VocabularyWord::importList(input))
                               : described(VocabularyWord::newWords(input, wordsOf(existing))),
            "expected");
    }

    void exportList()
    {
        const QString text = VocabularyWord::exportList(wordsOf(u"Kavo,uz-UZ|Gemini|Ташкент,ru-RU|Word,en-US"_qs));
        QCOMPARE(text, u"Kavo,uz-UZ\nGemini\nТашкент,ru-RU\nWord,en-US\n"_qs);
        QCOMPARE(described(VocabularyWord::importList(text)), u"Kavo,uz-UZ|Gemini|Ташкент,ru-RU|Word,en-US"_qs);
        QCOMPARE(VocabularyWord::exportList({}), u"\n"_qs);
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
