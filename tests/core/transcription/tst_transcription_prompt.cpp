#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_client.h"

#include <QTest>

using kavo::GeminiClient;
using kavo::test::row;

namespace {

// The instructions with the clean-up block holding one optional line between its header and its two fixed lines.
QString cleanUpWith(const QString& before, const QString& line)
{
    return u"Prompt.\n%1\nClean the transcript up for reading, without changing what was meant:\n%2\n"
           "- Write spoken lists, dates, times and numbers in their normal written form.\n"
           "- Break long speech into sentences and paragraphs where the speaker paused.\n\nEnd."_qs.arg(before, line);
}

const QString inLatin = u" Write Uzbek in Latin script."_qs;
const QString keepEach = u"Keep every word in the language it was spoken in \u2014 never translate between them."_qs;

// `codes` space-separated; `vocabulary` as "word" or "word,language" items separated by "|".
GeminiClient clientFor(const QString& codes, bool fillers, bool corrections, bool punctuation,
    const QString& vocabulary = {}, const QString& prompt = u"Prompt."_qs)
{
    kavo::Config config;
    config.prompt = prompt;
    config.languageCodes = codes.split(u' ', Qt::SkipEmptyParts);
    config.removeFillers = fillers;
    config.resolveCorrections = corrections;
    config.punctuation = punctuation;
    for (const QString& word : vocabulary.split(u'|', Qt::SkipEmptyParts))
        config.vocabulary << kavo::VocabularyWord { {}, word.section(u',', 0, 0), word.section(u',', 1) };
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
        const GeminiClient client = clientFor(u"uz-UZ ru-RU"_qs, true, true, true, u"Kubernetes|Figma"_qs);
        QCOMPARE(client.instructions(GeminiClient::dictationClosing),
            u"Prompt.\n"
            "\nThe speaker may mix Uzbek and Russian. Keep every word in the language it was "
            "spoken in \u2014 never translate between them. Write Uzbek in Latin script.\n"
            "\nClean the transcript up for reading, without changing what was meant:\n"
            "- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words.\n"
            "- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
            "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\".\n"
            "- Write spoken lists, dates, times and numbers in their normal written form.\n"
            "- Break long speech into sentences and paragraphs where the speaker paused.\n"
            "\nThese names come up often and are easy to mishear \u2014 spell them\n"
            "exactly like this when you hear them: Kubernetes, Figma.\n"
            "\nNever translate, summarize, answer, or add anything of your own.\n"
            "Output only the transcript. If there is no speech, output nothing at all."_qs);
    }

    void instructions_data()
    {
        QTest::addColumn<GeminiClient>("client");
        QTest::addColumn<QString>("expected");
        const QString wordForWord = u"\nWrite down every word exactly as spoken, including repetitions, filler\n"
                                    "sounds and false starts. Do not tidy anything up.\n"_qs;
        row("verbatim, no punctuation, empty prompt", clientFor({}, false, false, false, {}, {}),
            u"\n"_qs + wordForWord
                + u"\nDo not add punctuation marks: no commas, full stops, question marks or exclamation marks.\n"
                  "\nEnd."_qs);
        row("verbatim", clientFor({}, false, false, true), u"Prompt.\n"_qs + wordForWord + u"\nEnd."_qs);
        row("only corrections, unknown languages", clientFor(u"xx-XX uz"_qs, false, true, true),
            cleanUpWith({},
                u"- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\"."_qs));
        row("only Uzbek, only fillers", clientFor(u"uz-UZ"_qs, true, false, true),
            cleanUpWith(u"\nThe speaker talks in Uzbek."_qs + inLatin + u"\n"_qs,
                u"- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words."_qs));
    }
    void instructions()
    {
        QFETCH(GeminiClient, client);
        QTEST(client.instructions(u"\nEnd."_qs), "expected");
    }

    void languageRules_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("expected");
        row("unknown skipped", "xx-XX uz-UZ", u"\nThe speaker talks in Uzbek."_qs + inLatin);
        row("three", "en-US ru-RU uz-UZ",
            u"\nThe speaker may mix English, Russian and Uzbek. "_qs + keepEach + inLatin);
        row("duplicates, uz not uz-UZ", "ru-RU uz ru-RU", u"\nThe speaker may mix Russian and Russian. "_qs + keepEach);
    }
    void languageRules()
    {
        QFETCH(QString, codes);
        QTEST(GeminiClient::languageRules(codes.split(u' ', Qt::SkipEmptyParts)), "expected");
    }

    void noteClosingLeadEndsWithLineFeed()
    {
        QCOMPARE(GeminiClient::noteClosingLead,
            u"\nThis recording is a note the user is dictating into their notes app. Reply with one JSON object.\n"
            "text: the transcript, following every rule above. Never translate, summarize, answer, or add anything "
            "of your own. Empty if there is no speech.\n"_qs);
    }

    // Words of another language than the chosen ones are left out; the codes must match exactly.
    void vocabulary_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("words");
        row("no languages keeps every word", "", "Anvar|Figma|Yandex|Cursor");
        row("Uzbek only", "uz-UZ", "Anvar|Figma");
        row("Russian and English", "ru-RU en-US", "Figma|Yandex|Cursor");
        row("code must match exactly", "ru", "Figma");
    }
    void vocabulary()
    {
        QFETCH(QString, codes);
        const auto client = clientFor(codes, false, false, true, u"Anvar,uz-UZ|Figma|Yandex,ru-RU|Cursor,en-US"_qs);
        QTEST(client.customVocabulary.join(u'|'), "words");
    }
};

QTEST_GUILESS_MAIN(TestTranscriptionPrompt)
#include "tst_transcription_prompt.moc"
