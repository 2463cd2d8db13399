#include "bench_support.h"

#include "store/history.h"

#include <QFile>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

using namespace kavo;

namespace {

void addAndSaveToFullHistory(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    History history = bench::fullHistory();
    QRandomGenerator random(99);
    for (auto _ : state) {
        history.add(bench::realisticEntry(random, QDateTime::currentDateTimeUtc()));
    }
    state.counters["file bytes"] = double(QFile(History::filePath()).size());
}
BENCHMARK(addAndSaveToFullHistory)->Unit(benchmark::kMillisecond);

void loadFullHistory(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    bench::fullHistory().save();
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
