#include "command_line.h"
#include "level_line.h"
#include "stop_trigger.h"

#include "delivery/text_injector.h"
#include "dictation/dictation_flow.h"
#include "media/media_control.h"
#include "platform/desktop_feedback.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/session_backends.h"
#include "state/toasts.h"
#include "store/data_stores.h"

#include <QEventLoop>
#include <QTimer>

#include <unistd.h>

namespace kavo::cli {
namespace {

struct Options
{
    std::optional<double> seconds;
    bool type = false;
    std::optional<QUuid> note;
};

std::optional<Options> parse(const QStringList& arguments, QTextStream& err)
{
    Options options;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        const QString value = arguments.value(index + 1);
        if (argument == QLatin1String("--type")) {
            options.type = true;
        } else if (argument == QLatin1String("--seconds")) {
            ++index;
            options.seconds = parseSeconds(value);
            if (!options.seconds) {
                refuse(err, QStringLiteral("dictate"), QStringLiteral("--seconds needs a positive number"));
                return std::nullopt;
            }
        } else if (argument == QLatin1String("--note")) {
            ++index;
            const QUuid id = QUuid::fromString(value);
            if (id.isNull()) {
                refuse(err, QStringLiteral("dictate"), QStringLiteral("--note needs a note ID"));
                return std::nullopt;
            }
            options.note = id;
        } else {
            refuse(err, QStringLiteral("dictate"), QStringLiteral("unknown argument \"%1\"").arg(argument));
            return std::nullopt;
        }
    }
    if (options.type && options.note) {
        refuse(err, QStringLiteral("dictate"), QStringLiteral("--type and --note exclude each other"));
        return std::nullopt;
    }
    return options;
}

DictationTarget targetOf(const Options& options)
{
    if (options.note)
        return DictationTarget::note(*options.note);
    return options.type ? DictationTarget::frontApp() : DictationTarget::historyOnly();
}

} // namespace

int runDictate(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<Options> options = parse(arguments, err);
    if (!options)
        return usageError;
    const bool terminal = isatty(STDERR_FILENO);

    DataStores stores;
    stores.load();
    if (options->note && !stores.notes.store().find(*options->note)) {
        err << "kavo-voice dictate: there is no note " << options->note->toString(QUuid::WithoutBraces) << '\n';
        return 1;
    }
    AudioRecorder recorder;
    TextInjector injector(options->type ? SessionBackends::injectionBackend() : nullptr);
    const std::unique_ptr<MediaControl> media = SessionBackends::mediaControl();
    const std::unique_ptr<FrontAppSource> front = SessionBackends::frontApplication();
    Toasts toasts;
    DictationFlow flow(stores, toasts, recorder, injector);
    flow.setFrontApplication(front.get());
    flow.setMediaControl(media.get());
    const DesktopFeedback feedback(flow);
    const DictationState& state = flow.state();
    const QList<HistoryEntry>& entries = stores.history.entries();
    const std::optional<QUuid> newestBefore = entries.isEmpty() ? std::nullopt : std::optional(entries.first().id);

    flow.startRecording(DictationSource::computer, targetOf(*options));
    if (state.phase() != DictationState::Phase::recording) {
        err << state.message() << '\n';
        return 1;
    }
    if (terminal)
        err << QCoreApplication::translate("DictateCommand", "Recording. Press Enter to stop.") << '\n';

    QTimer meter;
    QObject::connect(&meter, &QTimer::timeout, [&] { showLevel(err, state.level(), true); });
    if (terminal)
        meter.start(DictationFlow::levelInterval);
    StopTrigger stop(options->seconds);
    QObject::connect(&stop, &StopTrigger::triggered, &flow, &DictationFlow::finishRecording);

    QEventLoop loop;
    QObject::connect(&state, &DictationState::stageChanged, [&] {
        if (terminal)
            err << state.processingMessage() << '\n';
    });
    QObject::connect(&state, &DictationState::phaseChanged, [&] {
        if (state.phase() == DictationState::Phase::working) {
            meter.stop();
            if (terminal)
                err << '\n' << state.processingMessage() << '\n';
        } else if (state.phase() != DictationState::Phase::recording) {
            loop.quit();
        }
    });
    loop.exec();
    meter.stop();

    if (state.phase() == DictationState::Phase::failed) {
        err << state.message() << '\n';
        return 1;
    }
    if (entries.isEmpty() || entries.first().id == newestBefore) {
        err << QCoreApplication::translate("DictateCommand", "The recording was too short; nothing was sent.") << '\n';
        return 1;
    }
    out << entries.first().text << '\n';
    out.flush();
    if (injector.isPasting()) {
        QObject::connect(&injector, &TextInjector::pasteFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return 0;
}

} // namespace kavo::cli
