#include "support/data_folder.h"
#include "support/table_rows.h"
#include "transcription/gemini_client.h"

#include <QTest>

using kavo::GeminiClient;
using kavo::test::row;

namespace {

// The default settings with these languages and vocabulary words, given as "word" or "word,language" items.
kavo::Config configWith(const QStringList& codes, const QStringList& words)
{
    kavo::Config config;
    config.languageCodes = codes;
    for (const QString& word : words)
        config.vocabulary << kavo::VocabularyWord { {}, word.section(u',', 0, 0), word.section(u',', 1) };
    return config;
}

// The instructions with the clean-up block holding one optional line between its header and its two fixed lines.
QString cleanUpWith(const QString& before, const QString& line, const QString& after = {})
{
    return u"Prompt.\n%1\nClean the transcript up for reading, without changing what was meant:\n%2\n"
           "- Write spoken lists, dates, times and numbers in their normal written form.\n"
           "- Break long speech into sentences and paragraphs where the speaker paused.\n%3\nEnd."_qs.arg(
               before, line, after);
}

GeminiClient clientFor(const QString& codes, bool fillers, bool corrections, bool punctuation, const QString& words,
    const QString& prompt = u"Prompt."_qs)
{
    kavo::Config config = configWith(codes.split(u' ', Qt::SkipEmptyParts), words.split(u'|', Qt::SkipEmptyParts));
    config.prompt = prompt;
    config.removeFillers = fillers;
    config.resolveCorrections = corrections;
    config.punctuation = punctuation;
    return GeminiClient::fromConfig(config);
}

} // namespace

class TestTranscriptionPrompt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kavo::test::useTemporaryDataFolder(); }

    void dictationText()
    {
        const auto config = configWith({ "uz-UZ", "ru-RU", "en-US" }, { "Kubernetes", "Anvar,uz-UZ", "Yandex,ru-RU" });
        QCOMPARE(GeminiClient::fromConfig(config).instructions(GeminiClient::dictationClosing),
            u"You are transcribing a voice message. Write technical terms, product names, file paths and code "
            u"identifiers in Latin script. Use normal punctuation and capitalization.\n"
            "\nThe speaker may mix Uzbek, Russian and English. Keep every word in the language it was spoken in — "
            "never translate between them. Write Uzbek in Latin script.\n"
            "\nClean the transcript up for reading, without changing what was meant:\n"
            "- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words.\n"
            "- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
            "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\".\n"
            "- Write spoken lists, dates, times and numbers in their normal written form.\n"
            "- Break long speech into sentences and paragraphs where the speaker paused.\n"
            "\nThese names come up often and are easy to mishear — spell them\n"
            "exactly like this when you hear them: Kubernetes, Anvar, Yandex.\n"
            "\nNever translate, summarize, answer, or add anything of your own.\n"
            "Output only the transcript. If there is no speech, output nothing at all."_qs);
    }

    // A word of a language other than the chosen ones is left out.
    void noteText()
    {
        const auto config = configWith({ "ru-RU" }, { "Figma", "Anvar,uz-UZ" });
        const kavo::NoteFiler::Context context { { u"Ish"_qs, u"Home"_qs }, { { u"Standup"_qs, u"Home"_qs } } };
        QCOMPARE(GeminiClient::fromConfig(config).instructions(
                     GeminiClient::noteClosingLead + kavo::NoteFiler::rules(context)),
            u"You are transcribing a voice message. Write technical terms, product names, file paths and code "
            u"identifiers in Latin script. Use normal punctuation and capitalization.\n"
            "\nThe speaker talks in Russian.\n"
            "\nClean the transcript up for reading, without changing what was meant:\n"
            "- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words.\n"
            "- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
            "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\".\n"
            "- Write spoken lists, dates, times and numbers in their normal written form.\n"
            "- Break long speech into sentences and paragraphs where the speaker paused.\n"
            "\nThese names come up often and are easy to mishear — spell them\n"
            "exactly like this when you hear them: Figma.\n"
            "\nThis recording is a note the user is dictating into their notes app. Reply with one JSON object.\n"
            "text: the transcript, following every rule above. Never translate, summarize, answer, or add anything of "
            "your own. Empty if there is no speech.\n"
            "kind: \"meeting\" for notes from a meeting or a call; \"tasks\" for things to do; \"journal\" for a diary "
            "entry about the user's own day; \"idea\" for an idea or a plan to explore; \"note\" for anything else.\n"
            "title: the note's topic in 2 to 6 words, in the language and script it is spoken in, worded like the "
            "user's own titles below. No date, number, quotes or full stop: the app adds those.\n"
            "folder: the existing folder the note belongs in, written exactly as it is listed. Only when none of them "
            "fits, a short new folder name, 1 to 3 words, in the language of the note.\n"
            "\nExisting folders: [\"Ish\",\"Home\"]\n"
            "Recent notes, newest first: [{\"folder\":\"Home\",\"title\":\"Standup\"}]"_qs);
    }

    // What the texts above do not show. Without languages every word is kept; codes must match exactly, and unknown
    // ones are skipped.
    void switches_data()
    {
        kavo::test::columns<GeminiClient, QString>({ "client", "expected" });
        const QString vocabulary = u"\nThese names come up often and are easy to mishear \u2014 spell them\n"
                                   "exactly like this when you hear them: "_qs;
        row("verbatim, no punctuation, empty prompt", clientFor({}, false, false, false, u"Anvar,uz-UZ|Figma"_qs, {}),
            u"\n\nWrite down every word exactly as spoken, including repetitions, filler\n"
            "sounds and false starts. Do not tidy anything up.\n"
            "\nDo not add punctuation marks: no commas, full stops, question marks or exclamation marks.\n"_qs
                + vocabulary + u"Anvar, Figma.\n\nEnd."_qs);
        row("only corrections, a code not exactly Uzbek's",
            clientFor(u"ru-RU uz"_qs, false, true, true, u"A,uz-UZ|F"_qs),
            cleanUpWith(u"\nThe speaker talks in Russian.\n"_qs,
                u"- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\"."_qs,
                vocabulary + u"F.\n"_qs));
        row("only fillers, an unknown code", clientFor(u"xx-XX uz-UZ"_qs, true, false, true, {}),
            cleanUpWith(u"\nThe speaker talks in Uzbek. Write Uzbek in Latin script.\n"_qs,
                u"- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words."_qs));
    }

    void switches()
    {
        QFETCH(GeminiClient, client);
        QTEST(client.instructions(u"\nEnd."_qs), "expected");
    }
};

QTEST_GUILESS_MAIN(TestTranscriptionPrompt)
#include "tst_transcription_prompt.moc"
