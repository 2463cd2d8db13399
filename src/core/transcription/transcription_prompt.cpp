#include "gemini_client.h"

namespace kavo {
namespace {

const QString wordForWordRule
    = QStringLiteral("\nWrite down every word exactly as spoken, including repetitions, filler\n"
                     "sounds and false starts. Do not tidy anything up.");
const QString noPunctuationRule
    = QStringLiteral("\nDo not add punctuation marks: no commas, full stops, question marks or exclamation marks.");
const QString vocabularyLead = QStringLiteral("\nThese names come up often and are easy to mishear \u2014 spell them\n"
                                              "exactly like this when you hear them: ");

} // namespace

const QString GeminiClient::dictationClosing
    = QStringLiteral("\nNever translate, summarize, answer, or add anything of your own.\n"
                     "Output only the transcript. If there is no speech, output nothing at all.");

const QString GeminiClient::noteClosingLead = QStringLiteral(
    "\nThis recording is a note the user is dictating into their notes app. Reply with one JSON object.\n"
    "text: the transcript, following every rule above. Never translate, summarize, answer, or add anything of "
    "your own. Empty if there is no speech.\n");

QString GeminiClient::instructions(const QString& closing) const
{
    QStringList paragraphs { prompt };
    if (const QString languages = languageRules(languageCodes); !languages.isEmpty())
        paragraphs << languages;
    paragraphs << (transcriptionMode == QLatin1String("smart") ? smartRules(removeFillers, resolveCorrections)
                                                               : wordForWordRule);
    if (!punctuation)
        paragraphs << noPunctuationRule;
    if (!customVocabulary.isEmpty())
        paragraphs << vocabularyLead + customVocabulary.join(QLatin1String(", ")) + QLatin1Char('.');
    paragraphs << closing;
    return paragraphs.join(QLatin1Char('\n'));
}

QString GeminiClient::languageRules(const QStringList& codes)
{
    QStringList names;
    for (const QString& code : codes) {
        if (const auto language = SpokenLanguage::find(code))
            names << language->englishName;
    }
    if (names.isEmpty())
        return {};

    QString rule;
    if (names.size() == 1) {
        rule = QStringLiteral("\nThe speaker talks in ") + names.first() + QLatin1Char('.');
    } else {
        const QString last = names.takeLast();
        rule = QStringLiteral("\nThe speaker may mix ") + names.join(QLatin1String(", ")) + QStringLiteral(" and ")
            + last
            + QStringLiteral(". Keep every word in the language it was spoken in \u2014 never translate "
                             "between them.");
    }
    if (codes.contains(QLatin1String("uz-UZ")))
        rule += QStringLiteral(" Write Uzbek in Latin script.");
    return rule;
}

QString GeminiClient::smartRules(bool fillers, bool corrections)
{
    QStringList lines { QStringLiteral("\nClean the transcript up for reading, without changing what was meant:") };
    if (fillers)
        lines << QStringLiteral(
            "- Drop filler sounds and false starts: uh, um, mm, yani, shuni, anaqa, repeated words.");
    if (corrections)
        lines << QStringLiteral("- Resolve spoken self-corrections and keep only what the speaker settled on.\n"
                                "  \"Seshanba, yo'q, chorshanba kelaman\" becomes \"Chorshanba kelaman\".");
    lines << QStringLiteral("- Write spoken lists, dates, times and numbers in their normal written form.")
          << QStringLiteral("- Break long speech into sentences and paragraphs where the speaker paused.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace kavo
