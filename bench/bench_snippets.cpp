#include "bench_support.h"

#include "store/snippet.h"

#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdint>

using kavo::Snippet;

namespace {

// A fixed pseudo-random sequence, so that every run measures the same texts.
class Sequence
{
public:
    qsizetype below(qsizetype bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<qsizetype>((m_state >> 33) % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t m_state = 42;
};

const QStringList triggerWords {
    u"address"_qs,
    u"email"_qs,
    u"phone"_qs,
    u"number"_qs,
    u"signature"_qs,
    u"regards"_qs,
    u"calendar"_qs,
    u"invoice"_qs,
    u"template"_qs,
    u"greeting"_qs,
    u"office"_qs,
    u"home"_qs,
    u"zoom"_qs,
    u"link"_qs,
    u"bank"_qs,
    u"account"_qs,
    u"details"_qs,
    u"shipping"_qs,
    u"billing"_qs,
    u"standup"_qs,
    u"notes"_qs,
    u"manzil"_qs,
    u"telefon"_qs,
    u"oʻzbek"_qs,
    u"salom"_qs,
    u"rahmat"_qs,
    u"адрес"_qs,
    u"почта"_qs,
    u"подпись"_qs,
    u"spasibo"_qs,
    u"lorem"_qs,
    u"boilerplate"_qs,
    u"disclaimer"_qs,
    u"agenda"_qs,
    u"intro"_qs,
    u"outro"_qs,
    u"followup"_qs,
    u"reminder"_qs,
    u"checklist"_qs,
    u"brb"_qs,
};

const QStringList prefixes { u"my"_qs, u"our"_qs, u"the team"_qs, u"insert"_qs, u"full"_qs, u"work"_qs };

const QStringList commonWords {
    u"the"_qs,
    u"a"_qs,
    u"and"_qs,
    u"to"_qs,
    u"of"_qs,
    u"in"_qs,
    u"is"_qs,
    u"it"_qs,
    u"that"_qs,
    u"we"_qs,
    u"my"_qs,
    u"our"_qs,
    u"team"_qs,
    u"will"_qs,
    u"need"_qs,
    u"meeting"_qs,
    u"tomorrow"_qs,
    u"please"_qs,
    u"send"_qs,
    u"work"_qs,
    u"full"_qs,
    u"report"_qs,
    u"project"_qs,
    u"client"_qs,
    u"before"_qs,
    u"after"_qs,
    u"Friday"_qs,
    u"update"_qs,
    u"review"_qs,
    u"numbers"_qs,
    u"addresses"_qs,
    u"insert"_qs,
    u"quickly"_qs,
    u"budget"_qs,
    u"schedule"_qs,
    u"think"_qs,
    u"should"_qs,
    u"could"_qs,
    u"there"_qs,
    u"this"_qs,
};

// 200 triggers of one to four words; many start with the same words, and some extend another trigger.
QList<Snippet> makeSnippets()
{
    Sequence random;
    QList<Snippet> snippets;
    while (snippets.size() < 200) {
        QString trigger;
        const qsizetype shape = random.below(4);
        if (shape == 0 && !snippets.isEmpty())
            trigger = snippets[random.below(snippets.size())].trigger + u' ' + triggerWords[random.below(40)];
        else if (shape == 1)
            trigger = prefixes[random.below(prefixes.size())] + u' ' + triggerWords[random.below(40)];
        else if (shape == 2)
            trigger = triggerWords[random.below(40)] + u' ' + triggerWords[random.below(40)];
        else
            trigger = triggerWords[random.below(40)];
        if (trigger.count(u' ') > 3)
            continue;
        const bool known = std::any_of(snippets.begin(), snippets.end(),
            [&](const Snippet& snippet) { return snippet.trigger.compare(trigger, Qt::CaseInsensitive) == 0; });
        if (!known)
            snippets.append(
                Snippet { QUuid::createUuid(), trigger, u"Expanded text for "_qs + trigger + u"\nLine 2"_qs });
    }
    return snippets;
}

// About 2,000 words of dictation in sentences; with `matches`, eight triggers are spoken in it.
QString makeTranscript(const QList<Snippet>& snippets, bool matches)
{
    Sequence random;
    QStringList words;
    for (int index = 0; index < 2000; ++index) {
        QString word = commonWords[random.below(commonWords.size())];
        if (index % 12 == 0)
            word[0] = word[0].toUpper();
        if (index % 12 == 11)
            word += u'.';
        else if (index % 7 == 3)
            word += u',';
        words.append(word);
    }
    if (matches) {
        for (int index = 0; index < 8; ++index)
            words[index * 240 + 5] = snippets[random.below(snippets.size())].trigger;
    }
    return words.join(u' ');
}

void expandTranscript(benchmark::State& state, bool matches)
{
    const QList<Snippet> snippets = makeSnippets();
    const QString transcript = makeTranscript(snippets, matches);
    if ((Snippet::expand(transcript, snippets) != transcript) != matches) {
        state.SkipWithError("the transcript does not match as intended");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(Snippet::expand(transcript, snippets));
    state.SetBytesProcessed(state.iterations() * transcript.size() * qsizetype(sizeof(QChar)));
}

void BM_ExpandWithMatches(benchmark::State& state)
{
    expandTranscript(state, true);
}
BENCHMARK(BM_ExpandWithMatches)->Unit(benchmark::kMicrosecond);

void BM_ExpandWithoutMatch(benchmark::State& state)
{
    expandTranscript(state, false);
}
BENCHMARK(BM_ExpandWithoutMatch)->Unit(benchmark::kMicrosecond);

// The first dictation after the snippets changed also compiles the expression.
void BM_ExpandAfterSnippetsChanged(benchmark::State& state)
{
    QList<Snippet> snippets = makeSnippets();
    const QString transcript = makeTranscript(snippets, true);
    const QString trigger = snippets[0].trigger;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        snippets[0].trigger = flip ? trigger : trigger + u" changed"_qs;
        benchmark::DoNotOptimize(Snippet::expand(transcript, snippets));
    }
}
BENCHMARK(BM_ExpandAfterSnippetsChanged)->Unit(benchmark::kMicrosecond);

// A short dictation that is one trigger, the common case of a snippet spoken alone.
void BM_ExpandWholeDictation(benchmark::State& state)
{
    const QList<Snippet> snippets = makeSnippets();
    const QString transcript = snippets[100].trigger + u'.';
    for (auto _ : state)
        benchmark::DoNotOptimize(Snippet::expand(transcript, snippets));
}
BENCHMARK(BM_ExpandWholeDictation)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    kavo::bench::useTemporaryDataFolder();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
