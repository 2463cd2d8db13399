#include "bench_support.h"
#include "notes/notes_store.h"

#include <QStringList>

#include <benchmark/benchmark.h>

#include <random>

using namespace kavo;

namespace {

constexpr int noteCount = 500;

// A dictated-note vocabulary in the three interface languages, so case folding meets Latin and Cyrillic.
const QStringList words {
    "meeting",
    "project",
    "plan",
    "budget",
    "review",
    "client",
    "deadline",
    "design",
    "release",
    "notes",
    "call",
    "follow",
    "up",
    "with",
    "the",
    "team",
    "about",
    "next",
    "week",
    "and",
    "then",
    "send",
    "report",
    "loyiha",
    "uchrashuv",
    "reja",
    "hisobot",
    "mijoz",
    "muddat",
    "vazifa",
    "g'oya",
    "bugun",
    "ertaga",
    "встреча",
    "проект",
    "план",
    "отчёт",
    "клиент",
    "срок",
    "задача",
    "идея",
    "сегодня",
    "завтра",
};

QString sentence(std::mt19937& random, int wordCount)
{
    std::uniform_int_distribution<qsizetype> pick(0, words.size() - 1);
    QStringList chosen;
    for (int i = 0; i < wordCount; ++i)
        chosen.append(words.at(pick(random)));
    chosen.first()[0] = chosen.first().at(0).toUpper();
    return chosen.join(u' ') + u'.';
}

// 500 notes in six folders, bodies of a few hundred characters over several lines, some classified.
const NotesStore& sampleStore()
{
    static const NotesStore store = [] {
        kavo::bench::useTemporaryDataFolder();
        std::mt19937 random(20261204);
        NotesStore result = NotesStore::starter();
        for (const char* name : { "Work", "Meetings", "Reading", "Family" })
            result.folders.append({ QUuid::createUuid(), QString::fromUtf8(name) });
        const QDateTime start(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
        std::uniform_int_distribution<int> lines(2, 6);
        std::uniform_int_distribution<int> lineWords(6, 14);
        for (int i = 0; i < noteCount; ++i) {
            QStringList body;
            for (int line = lines(random); line > 0; --line)
                body.append(sentence(random, lineWords(random)));
            const QDateTime created = start.addSecs(3600LL * i);
            Note note { QUuid::createUuid(), result.folders.at(i % result.folders.size()).id,
                sentence(random, 3).chopped(1), body.join(u'\n'), created, created.addSecs(600), {}, {} };
            if (i % 5 == 0) {
                note.kind = QStringLiteral("meeting");
                note.number = i / 5 + 1;
            }
            result.notes.append(note);
        }
        return result;
    }();
    return store;
}

void saveNotes(benchmark::State& state)
{
    const NotesStore& store = sampleStore();
    for (auto _ : state)
        store.save();
    state.SetBytesProcessed(state.iterations() * store.encode().size());
    state.counters["fileKiB"] = static_cast<double>(store.encode().size()) / 1024.0;
}
BENCHMARK(saveNotes)->Unit(benchmark::kMillisecond);

void decodeNotes(benchmark::State& state)
{
    const QByteArray bytes = sampleStore().encode();
    for (auto _ : state)
        benchmark::DoNotOptimize(NotesStore::decode(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeNotes)->Unit(benchmark::kMillisecond);

// Listing runs on every keystroke in the search field.
void listNotesMatchingQuery(benchmark::State& state)
{
    const NotesStore& store = sampleStore();
    const bool oneFolder = state.range(0) != 0;
    const std::optional<QUuid> folder = oneFolder ? std::optional(store.folders.at(2).id) : std::nullopt;
    qsizetype found = 0;
    for (auto _ : state) {
        const QList<Note> listed = store.notesIn(folder, QStringLiteral(" Project "));
        found = listed.size();
        benchmark::DoNotOptimize(listed);
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(listNotesMatchingQuery)->Arg(0)->Arg(1)->ArgName("oneFolder")->Unit(benchmark::kMicrosecond);

void listAllNotes(benchmark::State& state)
{
    const NotesStore& store = sampleStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.notesIn(std::nullopt, QString()));
}
BENCHMARK(listAllNotes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
