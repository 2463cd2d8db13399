#include "bench_support.h"

#include "audio/codec/ffmpeg_support.h"
#include "audio/codec/wav_reader.h"
#include "audio/preparation/audio_preparation.h"
#include "audio/preparation/streaming_preparation.h"
#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "platform/x11/x11_injection_backend.h"
#include "state/toasts.h"
#include "store/data_stores.h"
#include "store/log.h"
#include "support/fake_gemini.h"
#include "support/scripted_recorder.h"
#include "support/text_target.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

using namespace kavo;
using Clock = std::chrono::steady_clock;

namespace {

// The dictations' own account of their timing, from the log.
void printTimingLines()
{
    Log::flush();
    QFile log(Config::directory() + QStringLiteral("/kavo.log"));
    if (!log.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : log.readAll().split('\n')) {
        if (line.contains(" timing "))
            std::fprintf(stderr, "%s\n", line.constData());
    }
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// One dictation of speech (10 s, 120 s) through the flow into a Qt text field: from the stop to the upload being
// ready (the tail of the pauses shortened, the M4A completed) and to its reaching the service, and from the service's
// reply to the whole transcript standing in the field. The recorder tells its samples at the start, as a microphone
// delivers them before the stop.
void dictate(benchmark::State& state)
{
    if (qEnvironmentVariableIsEmpty("KAVO_TEST_SERVICES")) {
        state.SkipWithError("needs the private X display of scripts/test-services");
        return;
    }
    bench::useTemporaryDataFolder();
    const QString speech = bench::speechWav(int(state.range(0)));
    test::FakeGemini gemini;
    gemini.start();
    gemini.answerModelLookups(true);
    qputenv("KAVO_GEMINI_BASE_URL", gemini.baseUrl().toString().toUtf8());
    test::TextTarget field(QStringLiteral(KAVO_TEXT_TARGET));
    if (const QString problem = field.start(); !problem.isEmpty() || !field.focus()) {
        state.SkipWithError("the text target did not start");
        return;
    }

    DataStores stores;
    stores.load();
    stores.settings.setApiKey(QStringLiteral("bench-key"));
    stores.settings.setSounds(false);
    Toasts toasts;
    test::ScriptedRecorder recorder;
    TextInjector injector(X11InjectionBackend::create());
    DictationFlow flow(stores, toasts, recorder, injector);

    const QString transcript
        = QStringLiteral("The quarterly report is ready and the numbers look better than expected.");
    std::optional<Clock::time_point> received;
    QObject::connect(&gemini, &test::FakeGemini::requestReceived, [&](int index) {
        if (gemini.requests().at(index).method == "POST")
            received = Clock::now();
    });
    std::optional<Clock::time_point> ready;
    QObject::connect(&flow.state(), &DictationState::stageChanged, [&] {
        if (flow.state().stage() == DictationStage::transcribing && !ready)
            ready = Clock::now();
    });
    double readyMs = 0;
    double uploadMs = 0;
    double deliveryMs = 0;
    for (auto _ : state) {
        field.clear();
        received.reset();
        ready.reset();
        gemini.enqueue(test::FakeGemini::text(transcript));
        recorder.nextRecording = speech;
        flow.startRecording(DictationSource::computer, DictationTarget::frontApp());
        const auto stopped = Clock::now();
        flow.finishRecording();
        if (!waitFor([&] { return received.has_value(); }, std::chrono::seconds(10))
            || field.waitForText(transcript) != transcript) {
            state.SkipWithError("the transcript did not arrive");
            return;
        }
        const auto present = Clock::now();
        readyMs += std::chrono::duration<double, std::milli>(ready.value_or(*received) - stopped).count();
        uploadMs += std::chrono::duration<double, std::milli>(*received - stopped).count();
        deliveryMs += std::chrono::duration<double, std::milli>(present - *received).count();
        state.SetIterationTime(std::chrono::duration<double>(present - stopped).count());
        // Let the clipboard be restored before the next round.
        waitFor([] { return false; }, std::chrono::milliseconds(800));
    }
    printTimingLines();
    state.counters["stop_to_ready_ms"] = readyMs / double(state.iterations());
    state.counters["stop_to_request_ms"] = uploadMs / double(state.iterations());
    state.counters["reply_to_text_ms"] = deliveryMs / double(state.iterations());
}
BENCHMARK(dictate)->Arg(10)->Arg(120)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

double processSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The preparation made while recording, alone: the CPU it takes per second of speech as the samples arrive (in the
// recorder's 20 ms runs), then the time from the stop to a complete M4A, for each AAC coder, and the upload's size.
void prepareWhileRecording(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    const auto seconds = int(state.range(0));
    const auto coder = AACEncoder::Coder(state.range(1));
    const WavAudio speech = readWav(bench::speechWav(seconds));
    std::vector<qint16> samples;
    for (const float sample : speech.channels.front())
        samples.push_back(qint16(sample * 32768.0f));
    double cpuSeconds = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = Recorder::newFilePath() + QStringLiteral(".m4a");
        {
            StreamingPreparation preparation(path, 0.25, coder);
            const double cpuStart = processSeconds();
            for (size_t start = 0; start < samples.size(); start += 320)
                preparation.push(samples.data() + start, qsizetype(std::min<size_t>(320, samples.size() - start)));
            cpuSeconds += processSeconds() - cpuStart;
            state.ResumeTiming();
            const std::optional<QString> upload = preparation.finish(qsizetype(samples.size()));
            state.PauseTiming();
            if (!upload) {
                state.SkipWithError("the preparation failed");
                return;
            }
            bytes = QFile(*upload).size();
        }
        QFile::remove(path);
        state.ResumeTiming();
    }
    state.counters["cpu_ms_per_recorded_s"] = cpuSeconds * 1000 / double(state.iterations()) / seconds;
    state.counters["upload_bytes"] = double(bytes);
}
BENCHMARK(prepareWhileRecording)
    ->ArgNames({ "seconds", "twoloop" })
    ->Args({ 10, 0 })
    ->Args({ 10, 1 })
    ->Args({ 120, 0 })
    ->Args({ 120, 1 })
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

QCoro::Task<std::unique_ptr<AudioPreparation>> prepare(QString recording)
{
    auto audio = std::make_unique<AudioPreparation>(recording, AudioPreparation::Ownership::owned);
    co_await audio->trimSilence(0.25);
    co_await audio->encode();
    co_return audio;
}

// What the flow does between the recorder's completion and a ready upload, on the worker threads it awaits: shorten
// the pauses of 10 s of speech and encode the result as M4A.
void prepareTenSeconds(benchmark::State& state)
{
    bench::useTemporaryDataFolder();
    const QString speech = bench::speechWav(10);
    for (auto _ : state) {
        state.PauseTiming();
        const QString recording = Recorder::newFilePath();
        QFile::copy(speech, recording);
        state.ResumeTiming();
        std::unique_ptr<AudioPreparation> prepared = QCoro::waitFor(prepare(recording));
        state.PauseTiming();
        prepared.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(prepareTenSeconds)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    quietFfmpegLogging();
    return bench::runWithQtApplication(argc, argv);
}
