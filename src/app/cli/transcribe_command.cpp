#include "command_line.h"

#include "audio/aac_encoder.h"
#include "audio/audio_recorder.h"
#include "audio/audio_trimmer.h"
#include "audio/ffmpeg_support.h"
#include "audio/upload.h"
#include "notes/notes_store.h"
#include "phone/phone_audio.h"
#include "store/config.h"
#include "store/log.h"
#include "store/snippet.h"
#include "transcription/gemini_client.h"
#include "transcription/note_filer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <QCoroTask>

#include <variant>

#include <unistd.h>

namespace kavo::cli {
namespace {

class TranscribeCommand
{
    Q_DECLARE_TR_FUNCTIONS(TranscribeCommand)

public:
    static QString progressText(RequestProgress progress)
    {
        return progress == RequestProgress::retrying ? tr("Trying again…") : tr("Turning speech into text…");
    }
};

// The message a person should read for whatever a request threw.
QString failureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const GeminiError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("unknown error");
}

struct Filing
{
    NoteFiler::Result result;
    QString title;
};

NoteFiler::Context noteContext(const NotesStore& store)
{
    NoteFiler::Context context;
    for (const NoteFolder& folder : store.folders)
        context.folders.append(folder.name);
    for (const auto& recent : store.recentTitles(10))
        context.recent.append({ recent.title, recent.folderName });
    return context;
}

// A dedicated transcription model cannot classify; a general model from the key's list files the text instead.
QCoro::Task<std::optional<NoteFiler::Result>> classifySeparately(GeminiClient client, Config config, QString text,
    NoteFiler::Context context, GeminiClient::ProgressHandler progress)
{
    const auto model = NoteFiler::textModel(client.model, co_await client.listModels());
    if (!model)
        co_return std::nullopt;
    const NoteFiler filer { client.apiKey, *model, *model == config.model ? config.thinkingLevel : QString() };
    co_return co_await filer.file(text, context, progress);
}

struct Outcome
{
    QString text;
    std::optional<Filing> filing;
};

QCoro::Task<Outcome> transcribeOne(
    GeminiClient client, Config config, QString path, bool note, GeminiClient::ProgressHandler progress)
{
    Outcome outcome;
    std::optional<NoteFiler::Result> result;
    if (note) {
        const NotesStore store = NotesStore::load();
        const NoteFiler::Context context = noteContext(store);
        if (client.usesTranscriptionRoute()) {
            outcome.text = co_await client.transcribe(path, progress);
            result = co_await classifySeparately(client, config, outcome.text, context, progress);
        } else {
            const NoteFiler::Reply reply = co_await client.transcribeNote(path, context, progress);
            outcome.text = reply.text;
            result = reply.result;
        }
        if (result) {
            const std::optional<int> number = result->kind == NoteFiler::Kind::meeting
                ? std::optional(store.nextNumber(QStringLiteral("meeting")))
                : std::nullopt;
            outcome.filing = Filing { *result,
                NoteFiler::title(result->kind, result->topic, number, QDateTime::currentDateTime()) };
        }
    } else {
        outcome.text = co_await client.transcribe(path, progress);
    }
    outcome.text = Snippet::expand(outcome.text, config.snippets);
    co_return outcome;
}

// One input file on its way to the service, as a dictation's recording goes: decoded into the recording format,
// its long pauses shortened when the settings say so, and encoded as M4A. The files made here go with it.
class PreparedAudio
{
public:
    /// Throws `AudioCodecError` when the input cannot be decoded.
    PreparedAudio(const QString& input, const Config& config)
        : m_recording(AudioRecorder::newFileURL())
    {
        try {
            PhoneAudio::convert(input, m_recording);
        } catch (...) {
            QFile::remove(m_recording);
            throw;
        }
        m_wav = config.trimSilence
            ? AudioTrimmer::trimSilence(m_recording, config.keepSilenceSeconds).value_or(m_recording)
            : m_recording;
        m_upload = Upload::of(
            m_wav, [](const QString& wav) { return AACEncoder::m4a(wav); }, Log::write);
    }
    ~PreparedAudio()
    {
        for (const QString& file : { m_upload.url, m_wav, m_recording })
            QFile::remove(file);
    }
    PreparedAudio(const PreparedAudio&) = delete;
    PreparedAudio& operator=(const PreparedAudio&) = delete;

    const Upload& upload() const { return m_upload; }
    /// What the upload was encoded from, sent instead when the service refuses the M4A.
    const QString& wav() const { return m_wav; }

private:
    QString m_recording;
    QString m_wav;
    Upload m_upload;
};

// The service may refuse an M4A it cannot decode; the same audio goes once more as WAV.
QCoro::Task<Outcome> transcribePrepared(
    GeminiClient client, Config config, Upload upload, QString wav, bool note, GeminiClient::ProgressHandler progress)
{
    try {
        co_return co_await transcribeOne(client, config, upload.url, note, progress);
    } catch (const std::exception& error) {
        if (upload.format != Upload::Format::m4a || !Upload::resendsAsWav(error))
            throw;
    }
    Log::write(QStringLiteral("Gemini refused %1 with 400; sending WAV").arg(rawValue(upload.format)));
    co_return co_await transcribeOne(client, config, wav, note, progress);
}

// QCoro::waitFor does not return from a task that throws, so the failure is caught inside and handed back.
QCoro::Task<std::variant<Outcome, QString>> settled(QCoro::Task<Outcome> task)
{
    try {
        Outcome outcome = co_await std::move(task);
        co_return outcome;
    } catch (...) {
        co_return failureMessage(std::current_exception());
    }
}

} // namespace

int runTranscribe(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    bool note = false;
    bool json = false;
    QStringList files;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--note")) {
            note = true;
        } else if (argument == QLatin1String("--json")) {
            json = true;
        } else if (argument.startsWith(u'-') && argument != QLatin1String("-")) {
            err << "kavo-voice transcribe: unknown option \"" << argument << "\"\n";
            printUsage(err);
            return usageError;
        } else {
            files.append(argument);
        }
    }
    if (files.isEmpty()) {
        err << "kavo-voice transcribe: no audio file given\n";
        printUsage(err);
        return usageError;
    }

    const Config config = Config::load();
    const GeminiClient client = GeminiClient::fromConfig(config);
    GeminiClient::ProgressHandler progress;
    if (isatty(STDERR_FILENO)) {
        progress = [&err](RequestProgress step) {
            err << TranscribeCommand::progressText(step) << '\n';
            err.flush();
        };
    }

    int status = 0;
    for (const QString& file : std::as_const(files)) {
        QElapsedTimer timer;
        timer.start();
        std::optional<PreparedAudio> audio;
        try {
            audio.emplace(file, config);
        } catch (const AudioCodecError& error) {
            err << (files.size() > 1 ? QFileInfo(file).fileName() + QStringLiteral(": ") : QString())
                << "could not read the audio: " << error.message() << '\n';
            status = 1;
            continue;
        }
        const auto settledOutcome = QCoro::waitFor(
            settled(transcribePrepared(client, config, audio->upload(), audio->wav(), note, progress)));
        if (const auto* failure = std::get_if<QString>(&settledOutcome)) {
            err << (files.size() > 1 ? QFileInfo(file).fileName() + QStringLiteral(": ") : QString()) << *failure
                << '\n';
            status = 1;
            continue;
        }
        const Outcome& outcome = std::get<Outcome>(settledOutcome);
        if (json) {
            QJsonObject object { { QStringLiteral("file"), file }, { QStringLiteral("text"), outcome.text },
                { QStringLiteral("model"), client.model },
                { QStringLiteral("seconds"), double(timer.elapsed()) / 1000.0 } };
            if (outcome.filing) {
                object.insert(QStringLiteral("kind"), rawValue(outcome.filing->result.kind));
                object.insert(QStringLiteral("title"), outcome.filing->title);
                object.insert(QStringLiteral("folder"), outcome.filing->result.folder);
            }
            out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
        } else {
            out << outcome.text << '\n';
            if (outcome.filing) {
                out << "kind: " << rawValue(outcome.filing->result.kind) << '\n'
                    << "title: " << outcome.filing->title << '\n'
                    << "folder: " << outcome.filing->result.folder << '\n';
            }
        }
        out.flush();
    }
    return status;
}

} // namespace kavo::cli
