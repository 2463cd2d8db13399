#include "bench_support.h"

#include "audio/codec/wav_writer.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace kavo;

namespace {

// The noise-reduction path's usual input: 48 kHz float stereo, a tone in channel 0 and noise-free silence in 1.
void appendCapturedBuffer(benchmark::State& state)
{
    const int frames = int(state.range(0));
    std::vector<float> samples(size_t(frames) * 2, 0.0f);
    for (int frame = 0; frame < frames; ++frame)
        samples[size_t(frame) * 2] = 0.5f * float(std::sin(2 * 3.14159265358979 * 440 * frame / 48000.0));
    const void* planes[] = { samples.data() };
    const AudioBuffer buffer { { 48000, 2, SampleFormat::float32, true }, frames, planes };

    WavWriter writer(QDir(bench::useTemporaryDataFolder()).filePath(QStringLiteral("bench.wav")));
    writer.append(buffer); // the first buffer creates the converter
    for (auto _ : state)
        writer.append(buffer);
    state.counters["frames written"] = double(writer.finish());
}
BENCHMARK(appendCapturedBuffer)->Arg(4800)->Arg(480)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
