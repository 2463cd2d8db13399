#include "bench_support.h"

#include "audio/codec/audio_decoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace kavo;

namespace {

/// An MP3 (44.1 kHz stereo, as a phone might send) of about `seconds` of speech, made next to the speech WAV.
QString speechMp3(int seconds)
{
    const QString wav = bench::speechWav(seconds);
    QString mp3 = QFileInfo(wav).dir().filePath(QStringLiteral("speech.mp3"));
    if (QFile::exists(mp3))
        return mp3;
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
        { "-nostdin", "-loglevel", "error", "-y", "-i", wav, "-ar", "44100", "-ac", "2", "-c:a", "libmp3lame", mp3 });
    if (!ffmpeg.waitForFinished(300'000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.readAll().constData());
        std::exit(1);
    }
    return mp3;
}

/// How far above the resident memory before it one conversion takes the process at its peak.
double peakGrowthKiB(const QString& input, const QString& output)
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return -1;
    clearRefs.close();
    const double before = bench::statusKiB("VmRSS");
    AudioDecoder::toRecording(input, output);
    return bench::statusKiB("VmHWM") - before;
}

// Decoding an upload into the recording format, measured in seconds of audio per second (a multiple of real time).
void convertMp3(benchmark::State& state)
{
    const int seconds = int(state.range(0));
    const QString input = speechMp3(seconds);
    const QString output = QDir(bench::useTemporaryDataFolder()).filePath(QStringLiteral("converted.wav"));
    // A first conversion loads the decoder's tables, so that the peak below is what the length of the input costs.
    AudioDecoder::toRecording(input, output);
    state.counters["peak RSS growth KiB"] = peakGrowthKiB(input, output);
    for (auto _ : state)
        AudioDecoder::toRecording(input, output);
    state.counters["x real time"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(convertMp3)->Arg(60)->Arg(600)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
