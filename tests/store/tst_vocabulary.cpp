#include "store/vocabulary_word.h"
#include "support/data_folder.h"

#include <QSet>
#include <QTest>

using kavo::VocabularyWord;

namespace {

// "word" or "word,language", the way the tables below spell expected words.
QStringList described(const QList<VocabularyWord>& words)
{
    QStringList result;
    for (const VocabularyWord& word : words)
        result.append(word.language.isEmpty() ? word.word : word.word + u',' + word.language);
    return result;
}

QList<VocabularyWord> wordsOf(const QStringList& descriptions)
{
    QList<VocabularyWord> words;
    for (const QString& description : descriptions) {
        const QStringList parts = description.split(u',');
        words.append(VocabularyWord { QUuid::createUuid(), parts[0], parts.value(1) });
    }
    return words;
}

void verifyFreshIds(const QList<VocabularyWord>& words, const QList<VocabularyWord>& existing)
{
    QSet<QUuid> ids;
    for (const VocabularyWord& word : existing)
        ids.insert(word.id);
    for (const VocabularyWord& word : words) {
        QVERIFY(!word.id.isNull());
        QVERIFY2(!ids.contains(word.id), "ids must be new and distinct");
        ids.insert(word.id);
    }
}

} // namespace

class TestVocabulary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    void parse_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one word") << u"Kavo"_qs << QStringList { u"Kavo"_qs };
        QTest::newRow("pieces trimmed, order kept")
            << u" Gemini ,Kavo,\tToshkent\n"_qs << QStringList { u"Gemini"_qs, u"Kavo"_qs, u"Toshkent"_qs };
        QTest::newRow("phrases keep inner spaces")
            << u"New  York, Tashkent city"_qs << QStringList { u"New  York"_qs, u"Tashkent city"_qs };
        QTest::newRow("empty pieces dropped") << u",a,, ,\n,b,"_qs << QStringList { u"a"_qs, u"b"_qs };
        QTest::newRow("commas and spaces only") << u" , ,,  "_qs << QStringList {};
        QTest::newRow("empty") << QString() << QStringList {};
    }

    void parse()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        QCOMPARE(VocabularyWord::parse(input), expected);
    }

    void adding_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all new, language given") << QStringList {} << u"Kavo, Gemini"_qs << u"uz-UZ"_qs
                                                 << QStringList { u"Kavo,uz-UZ"_qs, u"Gemini,uz-UZ"_qs };
        QTest::newRow("case duplicates inside the input")
            << QStringList {} << u"Kavo, KAVO, Gemini"_qs << QString() << QStringList { u"Kavo"_qs, u"Gemini"_qs };
        QTest::newRow("case duplicate of an existing word")
            << QStringList { u"gemini,en-US"_qs } << u"Kavo, Gemini, kavo"_qs << QString()
            << QStringList { u"Kavo"_qs };
        QTest::newRow("Cyrillic case") << QStringList { u"Москва"_qs } << u"МОСКВА, Ташкент"_qs << u"ru-RU"_qs
                                       << QStringList { u"Ташкент,ru-RU"_qs };
        QTest::newRow("nothing new") << QStringList { u"Kavo"_qs } << u"kavo"_qs << QString() << QStringList {};
        QTest::newRow("commas and spaces only") << QStringList {} << u" ,, , "_qs << QString() << QStringList {};
    }

    void adding()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, input);
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        const QList<VocabularyWord> existingWords = wordsOf(existing);
        const QList<VocabularyWord> added = VocabularyWord::adding(input, language, existingWords);
        QCOMPARE(described(added), expected);
        verifyFreshIds(added, existingWords);
    }

    void importList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("words and languages")
            << u"Kavo\nGemini,en-US\nToshkent,uz-UZ\nМосква,ru-RU\n"_qs
            << QStringList { u"Kavo"_qs, u"Gemini,en-US"_qs, u"Toshkent,uz-UZ"_qs, u"Москва,ru-RU"_qs };
        QTest::newRow("spaces and tabs trimmed")
            << u" \tKavo Voice ,\t uz-UZ \n"_qs << QStringList { u"Kavo Voice,uz-UZ"_qs };
        QTest::newRow("unknown or inexact code") << u"Paris,fr-FR\nBerlin,EN-US\nRome,en\nOslo,"_qs
                                                 << QStringList { u"Paris"_qs, u"Berlin"_qs, u"Rome"_qs, u"Oslo"_qs };
        QTest::newRow("split at the first comma only") << u"a,b,en-US"_qs << QStringList { u"a"_qs };
        QTest::newRow("empty words skipped") << u"\n,uz-UZ\n   \n\t,\nKavo"_qs << QStringList { u"Kavo"_qs };
        QTest::newRow("every kind of line break")
            << u"A\r\nB\rC\u2028D\u2029E\u0085F\fG\vH"_qs
            << QStringList { u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"E"_qs, u"F"_qs, u"G"_qs, u"H"_qs };
        QTest::newRow("duplicates kept") << u"Kavo\nkavo,uz-UZ"_qs << QStringList { u"Kavo"_qs, u"kavo,uz-UZ"_qs };
        QTest::newRow("empty") << QString() << QStringList {};
    }

    void importList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const QList<VocabularyWord> words = VocabularyWord::importList(text);
        QCOMPARE(described(words), expected);
        verifyFreshIds(words, {});
    }

    void newWords_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first of duplicates wins")
            << QStringList {} << u"Gemini\ngemini,en-US\nKavo\n"_qs << QStringList { u"Gemini"_qs, u"Kavo"_qs };
        QTest::newRow("existing words left out, ignoring case")
            << QStringList { u"KAVO,uz-UZ"_qs, u"Toshkent"_qs } << u"kavo\nGemini,en-US\ntoshkent,uz-UZ"_qs
            << QStringList { u"Gemini,en-US"_qs };
        QTest::newRow("nothing new") << QStringList { u"Kavo"_qs } << u"Kavo\n\n"_qs << QStringList {};
    }

    void newWords()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(described(VocabularyWord::newWords(text, wordsOf(existing))), expected);
    }

    void exportList_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("expected");
        QTest::newRow("with and without language")
            << QStringList { u"Kavo,uz-UZ"_qs, u"Gemini"_qs } << u"Kavo,uz-UZ\nGemini\n"_qs;
        QTest::newRow("phrase and Cyrillic")
            << QStringList { u"Kavo Voice"_qs, u"Ташкент,ru-RU"_qs } << u"Kavo Voice\nТашкент,ru-RU\n"_qs;
        QTest::newRow("empty list") << QStringList {} << u"\n"_qs;
    }

    void exportList()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        const QList<VocabularyWord> list = wordsOf(words);
        const QString text = VocabularyWord::exportList(list);
        QCOMPARE(text, expected);
        QCOMPARE(described(VocabularyWord::importList(text)), words);
    }

    void languages()
    {
        QStringList codes;
        for (const VocabularyWord::Language& language : VocabularyWord::languages()) {
            codes.append(language.code);
            QVERIFY(!language.label.isEmpty());
        }
        QCOMPARE(codes, (QStringList { QString(), u"uz-UZ"_qs, u"ru-RU"_qs, u"en-US"_qs }));
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
