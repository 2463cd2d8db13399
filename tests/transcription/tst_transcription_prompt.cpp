#include "support/data_folder.h"
#include "transcription/gemini_client.h"

#include <QTest>

using kavo::Config;
using kavo::GeminiClient;
using kavo::VocabularyWord;

namespace {

const QString cleanUpHeader = u"\nClean the transcript up for reading, without changing what was meant:"_qs;
const QString fillerLine = u"- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words."_qs;
const QString correctionLine = u"- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                               "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\"."_qs;
const QString numberLine = u"- Write spoken lists, dates, times and numbers in their normal written form."_qs;
const QString paragraphLine = u"- Break long speech into sentences and paragraphs where the speaker paused."_qs;
const QString wordForWord = u"\nWrite down every word exactly as spoken, including repetitions, filler\n"
                            "sounds and false starts. Do not tidy anything up."_qs;
const QString noTranslation
    = u"Keep every word in the language it was spoken in \u2014 never translate between them."_qs;

// "word" or "word,language" joined by "|".
QList<VocabularyWord> wordsOf(const QString& described)
{
    QList<VocabularyWord> words;
    for (const QString& word : described.split(u'|', Qt::SkipEmptyParts))
        words.append(VocabularyWord { QUuid::createUuid(), word.section(u',', 0, 0), word.section(u',', 1) });
    return words;
}

GeminiClient clientFor(const QStringList& codes, bool fillers, bool corrections, bool punctuation,
    const QString& vocabulary, const QString& prompt = u"Prompt."_qs)
{
    Config config;
    config.prompt = prompt;
    config.languageCodes = codes;
    config.removeFillers = fillers;
    config.resolveCorrections = corrections;
    config.punctuation = punctuation;
    config.vocabulary = wordsOf(vocabulary);
    return GeminiClient::fromConfig(config);
}

} // namespace

class TestTranscriptionPrompt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    void wholeTextOfTwoLanguagesWithEveryRule()
    {
        const GeminiClient client = clientFor({ u"uz-UZ"_qs, u"ru-RU"_qs }, true, true, true, u"Kubernetes|Figma"_qs);
        const QString expected = u"Prompt.\n"
                                 "\nThe speaker may mix Uzbek and Russian. Keep every word in the language it was "
                                 "spoken in \u2014 never translate between them. Write Uzbek in Latin script.\n"
                                 "\nClean the transcript up for reading, without changing what was meant:\n"
                                 "- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated "
                                 "words.\n"
                                 "- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                                 "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\".\n"
                                 "- Write spoken lists, dates, times and numbers in their normal written form.\n"
                                 "- Break long speech into sentences and paragraphs where the speaker paused.\n"
                                 "\nThese names come up often and are easy to mishear \u2014 spell them\n"
                                 "exactly like this when you hear them: Kubernetes, Figma.\n"
                                 "\nNever translate, summarize, answer, or add anything of your own.\n"
                                 "Output only the transcript. If there is no speech, output nothing at all."_qs;
        const QString text = client.instructions(GeminiClient::dictationClosing);
        QCOMPARE(text, expected);
        QCOMPARE(text.count(QChar(0x2014)), 2);
        QVERIFY(QStringView(text).toUtf8().contains("\xE2\x80\x94"));
    }

    void instructions_data()
    {
        QTest::addColumn<GeminiClient>("client");
        QTest::addColumn<QString>("expected");
        QTest::newRow("verbatim, no punctuation, empty prompt") << clientFor({}, false, false, false, {}, {})
                                                                << u"\n"_qs + wordForWord
                + u"\n\nDo not add punctuation marks: no commas, full stops, question marks or "
                  "exclamation marks.\n\nEnd."_qs;
        QTest::newRow("verbatim with punctuation")
            << clientFor({}, false, false, true, {}) << u"Prompt.\n"_qs + wordForWord + u"\n\nEnd."_qs;
        QTest::newRow("only corrections, unknown languages") << clientFor({ u"xx-XX"_qs }, false, true, true, {})
                                                             << u"Prompt.\n"_qs + cleanUpHeader + u"\n"_qs
                + correctionLine + u"\n"_qs + numberLine + u"\n"_qs + paragraphLine + u"\n\nEnd."_qs;
        QTest::newRow("only Uzbek and one word")
            << clientFor({ u"uz-UZ"_qs }, true, false, true, u"Figma"_qs)
            << u"Prompt.\n\nThe speaker talks in Uzbek. Write Uzbek in Latin script.\n"_qs + cleanUpHeader + u"\n"_qs
                + fillerLine + u"\n"_qs + numberLine + u"\n"_qs + paragraphLine
                + u"\n\nThese names come up often and are easy to mishear \u2014 spell them\n"
                  "exactly like this when you hear them: Figma.\n\nEnd."_qs;
    }
    void instructions()
    {
        QFETCH(GeminiClient, client);
        QFETCH(QString, expected);
        QCOMPARE(client.instructions(u"\nEnd."_qs), expected);
    }

    void languageRules_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList {} << QString();
        QTest::newRow("only unknown codes") << QStringList { u"xx-XX"_qs, u"uz"_qs } << QString();
        QTest::newRow("one") << QStringList { u"ru-RU"_qs } << u"\nThe speaker talks in Russian."_qs;
        QTest::newRow("unknown skipped, Uzbek kept") << QStringList { u"xx-XX"_qs,
            u"uz-UZ"_qs } << u"\nThe speaker talks in Uzbek. Write Uzbek in Latin script."_qs;
        QTest::newRow("three") << QStringList { u"en-US"_qs, u"ru-RU"_qs, u"uz-UZ"_qs }
                               << u"\nThe speaker may mix English, Russian and Uzbek. "_qs + noTranslation
                + u" Write Uzbek in Latin script."_qs;
        QTest::newRow("duplicates kept") << QStringList { u"ru-RU"_qs, u"ru-RU"_qs }
                                         << u"\nThe speaker may mix Russian and Russian. "_qs + noTranslation;
    }
    void languageRules()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, expected);
        QCOMPARE(GeminiClient::languageRules(codes), expected);
    }

    void noteClosingLeadEndsWithLineFeed()
    {
        QCOMPARE(GeminiClient::noteClosingLead,
            u"\nThis recording is a note the user is dictating into their notes app. Reply with one JSON object.\n"
            "text: the transcript, following every rule above. Never translate, summarize, answer, or add anything "
            "of your own. Empty if there is no speech.\n"_qs);
    }

    void clientFromConfig_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<bool>("fillers");
        QTest::addColumn<bool>("corrections");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("vocabulary");
        QTest::newRow("no languages keeps every word")
            << QStringList {} << false << false << u"verbatim"_qs
            << QStringList { u"Anvar"_qs, u"Figma"_qs, u"Yandex"_qs, u"Cursor"_qs };
        QTest::newRow("Uzbek only") << QStringList { u"uz-UZ"_qs } << true << false << u"smart"_qs
                                    << QStringList { u"Anvar"_qs, u"Figma"_qs };
        QTest::newRow("Russian and English") << QStringList { u"ru-RU"_qs, u"en-US"_qs } << false << true << u"smart"_qs
                                             << QStringList { u"Figma"_qs, u"Yandex"_qs, u"Cursor"_qs };
        QTest::newRow("code must match exactly")
            << QStringList { u"ru"_qs } << true << true << u"smart"_qs << QStringList { u"Figma"_qs };
    }
    void clientFromConfig()
    {
        QFETCH(QStringList, codes);
        QFETCH(bool, fillers);
        QFETCH(bool, corrections);
        QFETCH(QString, mode);
        QFETCH(QStringList, vocabulary);
        const GeminiClient client
            = clientFor(codes, fillers, corrections, true, u"Anvar,uz-UZ|Figma|Yandex,ru-RU|Cursor,en-US"_qs);
        QCOMPARE(client.transcriptionMode, mode);
        QCOMPARE(client.customVocabulary, vocabulary);
        QCOMPARE(client.languageCodes, codes);
    }
};

QTEST_GUILESS_MAIN(TestTranscriptionPrompt)
#include "tst_transcription_prompt.moc"
