#include "bench_support.h"

#include "audio/codec/ffmpeg_support.h"
#include "audio/preparation/audio_preparation.h"
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

// One dictation of 10 s of speech through the flow into a Qt text field: from the stop to the upload reaching the
// service (trimmed, encoded, sent), and from the service's reply to the whole transcript standing in the field.
void dictateTenSeconds(benchmark::State& state)
{
    if (qEnvironmentVariableIsEmpty("KAVO_TEST_SERVICES")) {
        state.SkipWithError("needs the private X display of scripts/test-services");
        return;
    }
    bench::useTemporaryDataFolder();
    const QString speech = bench::speechWav(10);
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
    double uploadMs = 0;
    double deliveryMs = 0;
    for (auto _ : state) {
        field.clear();
        received.reset();
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
        uploadMs += std::chrono::duration<double, std::milli>(*received - stopped).count();
        deliveryMs += std::chrono::duration<double, std::milli>(present - *received).count();
        state.SetIterationTime(std::chrono::duration<double>(present - stopped).count());
        // Let the clipboard be restored before the next round.
        waitFor([] { return false; }, std::chrono::milliseconds(800));
    }
    printTimingLines();
    state.counters["stop_to_request_ms"] = uploadMs / double(state.iterations());
    state.counters["reply_to_text_ms"] = deliveryMs / double(state.iterations());
}
BENCHMARK(dictateTenSeconds)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

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
