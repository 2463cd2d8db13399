#include "command_line.h"
#include "level_line.h"
#include "stop_trigger.h"

#include "audio/levels/mic_engine.h"
#include "platform/pulse/audio_recorder.h"
#include "platform/pulse/mic_level_meter.h"
#include "store/config.h"

#include <QEventLoop>
#include <QFile>

#include <unistd.h>

namespace kavo::cli {
namespace {

struct Options
{
    QStringList positional;
    std::optional<double> seconds;
    bool noiseReduction = false;
};

std::optional<Options> parse(const QStringList& arguments, QTextStream& err)
{
    Options options;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (argument == QLatin1String("--noise-reduction")) {
            options.noiseReduction = true;
        } else if (argument == QLatin1String("--seconds")) {
            options.seconds = index + 1 < arguments.size() ? parseSeconds(arguments[++index]) : std::nullopt;
            if (!options.seconds) {
                refuse(err, QStringLiteral("mic"), QStringLiteral("--seconds needs a positive number"));
                return std::nullopt;
            }
        } else if (argument.startsWith(u'-')) {
            refuse(err, QStringLiteral("mic"), QStringLiteral("unknown option \"%1\"").arg(argument));
            return std::nullopt;
        } else {
            options.positional.append(argument);
        }
    }
    return options;
}

int listInputs(QTextStream& out, QTextStream& err)
{
    const QString chosen = loadSettings().inputDeviceID;
    QString defaultSource;
    try {
        std::shared_ptr<PulseConnection> server;
        defaultSource = PulseConnection::reconnected(server, QStringLiteral("Kavo Voice"))->defaults().source;
    } catch (const PulseError& error) {
        err << "kavo-voice mic: " << error.message() << '\n';
        return 1;
    }
    const QList<AudioRecorder::Input> inputs = AudioRecorder::inputs();
    out << (chosen.isEmpty() ? "* " : "  ") << AudioRecorder::name(QString()) << '\n';
    bool chosenFound = chosen.isEmpty();
    for (const AudioRecorder::Input& input : inputs) {
        chosenFound = chosenFound || input.id == chosen;
        out << (input.id == chosen ? "* " : "  ") << input.name << "  [" << input.id << ']'
            << (input.id == defaultSource ? "  (default)" : "") << '\n';
    }
    if (!chosenFound)
        out << "* " << AudioRecorder::name(chosen) << "  [" << chosen << "]\n";
    return 0;
}

int testMicrophone(const Options& options, QTextStream& out, QTextStream& err)
{
    const bool terminal = isatty(STDOUT_FILENO);
    MicLevelMeter meter;
    QObject::connect(&meter, &MicLevelMeter::levelChanged, [&](double value) { showLevel(out, value, terminal); });
    try {
        meter.start(loadSettings().inputDeviceID, options.noiseReduction);
    } catch (const RecorderFailure& failure) {
        err << failure.message() << '\n';
        return 1;
    }
    if (isatty(STDERR_FILENO))
        err << "Listening to " << AudioRecorder::name(loadSettings().inputDeviceID) << ". Press Enter to stop.\n";
    err.flush();
    QEventLoop loop;
    StopTrigger stop(options.seconds);
    QObject::connect(&stop, &StopTrigger::triggered, &loop, &QEventLoop::quit);
    loop.exec();
    meter.stop();
    if (terminal)
        out << '\n';
    return 0;
}

// Moves a finished recording to where the user asked for it.
bool keep(const Recorder::Recording& recording, const QString& target, QTextStream& err)
{
    QFile::remove(target);
    if (QFile::rename(recording.path, target))
        return true;
    if (QFile::copy(recording.path, target)) {
        QFile::remove(recording.path);
        return true;
    }
    err << "kavo-voice mic: could not write " << target << '\n';
    QFile::remove(recording.path);
    return false;
}

int record(const Options& options, QTextStream& out, QTextStream& err)
{
    if (options.positional.size() != 1)
        return refuse(err, QStringLiteral("mic"), QStringLiteral("mic record takes one output file"));
    const QString target = options.positional.first();
    const bool terminal = isatty(STDERR_FILENO);

    AudioRecorder recorder;
    QEventLoop loop;
    std::optional<Recorder::Recording> result;
    int status = 0;
    QObject::connect(&recorder, &Recorder::failed, [&](const RecorderFailure& failure) {
        err << (terminal ? "\n" : "") << failure.message() << '\n';
        status = 1;
        QCoro::connect(recorder.stop(), &loop, [&](const std::optional<Recorder::Recording>& kept) {
            if (kept && keep(*kept, target, err))
                err << "The audio recorded until then is in " << target << ".\n";
            loop.quit();
        });
    });
    try {
        recorder.start(loadSettings().inputDeviceID, options.noiseReduction);
    } catch (const RecorderFailure& failure) {
        err << failure.message() << '\n';
        return 1;
    }
    if (terminal)
        err << "Recording. Press Enter to stop.\n";

    QTimer meter;
    QObject::connect(&meter, &QTimer::timeout, [&] {
        if (const std::optional<float> level = recorder.level())
            showLevel(err, MicEngine::displayValue(*level), true);
    });
    if (terminal)
        meter.start(50);
    StopTrigger stop(options.seconds);
    QObject::connect(&stop, &StopTrigger::triggered, [&] {
        meter.stop();
        QCoro::connect(recorder.stop(), &loop, [&](const std::optional<Recorder::Recording>& recording) {
            result = recording;
            loop.quit();
        });
    });
    loop.exec();
    if (terminal)
        err << '\n';
    if (status != 0)
        return status;
    if (!result) {
        err << "Nothing was recorded.\n";
        return 1;
    }
    if (!keep(*result, target, err))
        return 1;
    out << "Recorded " << QString::number(result->duration, 'f', 2) << " s into " << target << '\n';
    return 0;
}

} // namespace

int runMic(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString subcommand = arguments.value(0);
    if (subcommand == QLatin1String("list")) {
        if (arguments.size() > 1)
            return refuse(err, QStringLiteral("mic"), QStringLiteral("mic list takes no arguments"));
        return listInputs(out, err);
    }
    if (subcommand != QLatin1String("test") && subcommand != QLatin1String("record"))
        return refuse(err, QStringLiteral("mic"), QStringLiteral("expected list, test or record"));
    const std::optional<Options> options = parse(arguments.mid(1), err);
    if (!options)
        return usageError;
    if (subcommand == QLatin1String("test")) {
        if (!options->positional.isEmpty())
            return refuse(err, QStringLiteral("mic"), QStringLiteral("mic test takes no file"));
        return testMicrophone(*options, out, err);
    }
    return record(*options, out, err);
}

} // namespace kavo::cli
