#include "bench_support.h"

#include "audio/codec/wav_reader.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/pulse/noise_reducer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace kavo;
using Clock = std::chrono::steady_clock;

namespace {

// Feeds the test services' virtual microphone a quiet tone in 20 ms chunks, paced like a real microphone, so that
// audio flows the moment a recorder connects.
class Microphone
{
public:
    Microphone()
    {
        const QByteArray fifo = qgetenv("KAVO_TEST_MIC_FIFO");
        m_fd = fifo.isEmpty() ? -1 : ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd >= 0)
            m_thread = std::thread([this] { feed(); });
    }
    ~Microphone()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isFeeding() const { return m_fd >= 0; }

private:
    void feed()
    {
        std::vector<qint16> chunk(320);
        for (std::size_t index = 0; index < chunk.size(); ++index)
            chunk[index] = qint16(2000 * std::sin(2 * M_PI * 300 * double(index) / 16000));
        auto next = Clock::now();
        while (!m_stop) {
            [[maybe_unused]] const auto written = ::write(m_fd, chunk.data(), chunk.size() * sizeof(qint16));
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);
        }
    }

    int m_fd = -1;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

// The recording file the recorder is writing: the only kavo-*.wav in the benchmark's temporary folder.
qint64 recordingSize()
{
    const QFileInfoList files = QDir::temp().entryInfoList({ QStringLiteral("kavo-*.wav") }, QDir::Files);
    return files.isEmpty() ? 0 : files.first().size();
}

void record(benchmark::State& state, bool noiseReduction)
{
    if (qEnvironmentVariableIsEmpty("KAVO_TEST_SERVICES")) {
        state.SkipWithError("needs the private PulseAudio of scripts/test-services");
        return;
    }
    QTemporaryDir temporary;
    qputenv("TMPDIR", temporary.path().toUtf8());
    Microphone microphone;
    if (!microphone.isFeeding()) {
        state.SkipWithError("the virtual microphone does not take audio");
        return;
    }
    AudioRecorder recorder;
    if (noiseReduction)
        recorder.prepareNoiseReduction(QString());
    QThread::msleep(300);

    double firstFrame = 0, stopToCompletion = 0;
    for (auto _ : state) {
        const auto started = Clock::now();
        recorder.start(QString(), noiseReduction);
        while (recordingSize() <= 44)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        firstFrame += std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        QThread::msleep(300);

        QEventLoop loop;
        std::optional<Recorder::Recording> recording;
        const auto stopped = Clock::now();
        QCoro::connect(recorder.stop(), &loop, [&](std::optional<Recorder::Recording> result) {
            recording = std::move(result);
            loop.quit();
        });
        loop.exec();
        stopToCompletion += std::chrono::duration<double, std::milli>(Clock::now() - stopped).count();
        if (recording)
            QFile::remove(recording->path);
        QCoreApplication::processEvents();
    }
    state.counters["start to first frame ms"] = firstFrame / double(state.iterations());
    state.counters["stop to completion ms"] = stopToCompletion / double(state.iterations());
}

void plainPath(benchmark::State& state)
{
    record(state, false);
}
BENCHMARK(plainPath)->Iterations(10)->Unit(benchmark::kMillisecond);

void noiseReductionPath(benchmark::State& state)
{
    record(state, true);
}
BENCHMARK(noiseReductionPath)->Iterations(10)->Unit(benchmark::kMillisecond);

// The processing cost of noise reduction: one second of speech through the processor at the usual source rates.
// The time per iteration is the processor's CPU time per second of audio.
void noiseReductionPerSecondOfAudio(benchmark::State& state)
{
    const int rate = int(state.range(0));
    const WavAudio speech = readWav(bench::speechWav(10));
    std::vector<float> second(static_cast<std::size_t>(rate));
    for (std::size_t index = 0; index < second.size(); ++index)
        second[index] = speech.channels.front()[index * 16000 / std::size_t(rate) + 16000];
    NoiseReducer reducer(rate);
    std::vector<float> output;
    output.reserve(second.size());
    for (auto _ : state) {
        // 20 ms fragments, as the stream delivers them.
        for (std::size_t start = 0; start < second.size(); start += std::size_t(rate / 50))
            reducer.process(std::span(second).subspan(start, std::size_t(rate / 50)), output);
        benchmark::DoNotOptimize(output.data());
    }
}
BENCHMARK(noiseReductionPerSecondOfAudio)->Arg(16000)->Arg(48000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithQtApplication(argc, argv);
}
