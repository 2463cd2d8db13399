#include "bench_support.h"

#include "audio/codec/aac_encoder.h"
#include "audio/codec/ffmpeg_support.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace kavo;

namespace {

// A minute of dictation, reported as seconds of audio encoded per second of wall time; the counter "10 s bytes"
// is the size of the upload of a ten-second dictation.
void encodeSpeech(benchmark::State& state, AACEncoder::Coder coder)
{
    quietFfmpegLogging();
    constexpr int seconds = 60;
    const QString wav = bench::speechWav(seconds);
    for (auto _ : state)
        benchmark::DoNotOptimize(AACEncoder::m4a(wav, coder));
    state.counters["x real time"]
        = benchmark::Counter(double(seconds) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["10 s bytes"] = double(QFileInfo(AACEncoder::m4a(bench::speechWav(10), coder)).size());
}
BENCHMARK_CAPTURE(encodeSpeech, fast, AACEncoder::Coder::fast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(encodeSpeech, twoloop, AACEncoder::Coder::twoloop)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
