#include "bench_support.h"

#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_trimmer.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace kavo;

namespace {

// A minute of dictation with its pauses, trimmed with the default margin: read, scan, copy and write.
void trimMinuteOfSpeech(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    const QString speech = bench::speechWav(60);
    const WavAudio audio = readWav(speech);
    const double seconds = double(audio.frameCount()) / audio.format.sampleRate;

    std::optional<QString> trimmed;
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        trimmed = AudioTrimmer::trimSilence(speech, 0.25);
        benchmark::DoNotOptimize(trimmed);
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - started;
    if (!trimmed) {
        std::fprintf(stderr, "the speech recording was not trimmed\n");
        std::exit(1);
    }
    state.counters["x realtime"] = seconds * double(state.iterations()) / spent.count();
    state.counters["kept seconds"] = double(readWav(*trimmed).frameCount()) / audio.format.sampleRate;
    QFile::remove(*trimmed);
}
BENCHMARK(trimMinuteOfSpeech)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
