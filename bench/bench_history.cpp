#include "bench_support.h"

#include "store/history.h"
#include "store/json_support.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace kavo;

namespace {

const QStringList vocabulary {
    "salom",
    "bugun",
    "loyiha",
    "uchrashuv",
    "the",
    "deployment",
    "pipeline",
    "ertaga",
    "soat",
    "beshda",
    "please",
    "review",
    "pull",
    "request",
    "va",
    "keyin",
    "менга",
    "позвони",
    "после",
    "обеда",
    "Kubernetes",
    "cluster",
    "yangilash",
    "kerak",
    "hisobot",
    "tayyor",
    "bo'ldi",
    "check",
    "the",
    "logs",
};

// A dictation as the flow records it: 30 to 60 words and every optional field that a real entry carries.
HistoryEntry realisticEntry(QRandomGenerator& random, const QDateTime& date)
{
    HistoryEntry entry;
    entry.date = date;
    const int words = random.bounded(30, 61);
    QStringList text;
    for (int index = 0; index < words; ++index)
        text.append(vocabulary.at(random.bounded(vocabulary.size())));
    entry.text = text.join(' ') + '.';
    entry.duration = random.bounded(40.0);
    entry.model = "gemini-3.8-flash";
    entry.source = random.bounded(4) == 0 ? "phone" : "mac";
    entry.appName = "Telegram";
    entry.appID = "org.telegram.desktop";
    entry.audioFile = json::uuidText(entry.id) + ".m4a";
    entry.latency = random.bounded(3.0);
    return entry;
}

History fullHistory()
{
    QRandomGenerator random(1234);
    History history;
    const QDateTime newest = QDateTime::currentDateTimeUtc();
    for (int index = 0; index < History::limit; ++index)
        history.entries.append(realisticEntry(random, newest.addSecs(-600 * index)));
    return history;
}

void addAndSaveToFullHistory(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    History history = fullHistory();
    QRandomGenerator random(99);
    for (auto _ : state) {
        history.add(realisticEntry(random, QDateTime::currentDateTimeUtc()));
    }
    state.counters["file bytes"] = double(QFile(History::filePath()).size());
}
BENCHMARK(addAndSaveToFullHistory)->Unit(benchmark::kMillisecond);

void loadFullHistory(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    fullHistory().save();
    for (auto _ : state) {
        History history = History::load();
        if (history.entries.size() != History::limit)
            state.SkipWithError("the history did not load");
        benchmark::DoNotOptimize(history);
    }
}
BENCHMARK(loadFullHistory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
