#include "command_line.h"

#include "dictation/transcript_request.h"

#include "audio/codec/aac_encoder.h"
#include "audio/codec/ffmpeg_support.h"
#include "audio/preparation/audio_trimmer.h"
#include "audio/preparation/upload.h"
#include "audio/recorder.h"
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

struct Filing
{
    NoteFiler::Result result;
    QString title;
};

struct Outcome
{
    QString text;
    std::optional<Filing> filing;
};

// A file transcribed as a new note is classified as well: in the same request, or for a model of the transcription
// route by a general model from the key's list.
QCoro::Task<std::optional<NoteJob>> newNoteJob(GeminiClient client, Config config)
{
    const NotesStore store = NotesStore::load();
    NoteJob job { true, true, NoteJob::contextOf(store), std::nullopt };
    if (client.usesTranscriptionRoute()) {
        const QStringList models = co_await client.listModels();
        if (const auto model = NoteFiler::textModel(client.model, models))
            job.filer = NoteFiler { client.apiKey, *model, *model == config.model ? config.thinkingLevel : QString() };
    }
    co_return job;
}

QCoro::Task<Outcome> transcribePrepared(
    GeminiClient client, Config config, Upload upload, QString wav, bool note, TranscriptRequest::StageHandler onStage)
{
    std::optional<NoteJob> job;
    if (note)
        job = co_await newNoteJob(client, config);
    TranscriptRequest request(client, upload, wav, job);
    const Transcript transcript = co_await request.send(onStage);
    Outcome outcome { Snippet::expand(transcript.text, config.snippets), std::nullopt };
    if (const auto& result = transcript.result) {
        const std::optional<int> number = result->kind == NoteFiler::Kind::meeting
            ? std::optional(NotesStore::load().nextNumber(QStringLiteral("meeting")))
            : std::nullopt;
        outcome.filing
            = Filing { *result, NoteFiler::title(result->kind, result->topic, number, QDateTime::currentDateTime()) };
    }
    co_return outcome;
}

// One input file on its way to the service, as a dictation's recording goes: decoded into the recording format,
// its long pauses shortened when the settings say so, and encoded as M4A. The files made here go with it.
class PreparedAudio
{
public:
    /// Throws `AudioCodecError` when the input cannot be decoded.
    PreparedAudio(const QString& input, const Config& config)
        : m_recording(Recorder::newFilePath())
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

// QCoro::waitFor does not return from a task that throws, so the failure is caught inside and handed back.
QCoro::Task<std::variant<Outcome, QString>> settled(QCoro::Task<Outcome> task)
{
    try {
        Outcome outcome = co_await std::move(task);
        co_return outcome;
    } catch (...) {
        co_return errorDescription(std::current_exception());
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
    TranscriptRequest::StageHandler progress;
    if (isatty(STDERR_FILENO)) {
        progress = [&err](DictationStage stage) {
            err << dictationStageMessage(stage, {}) << '\n';
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
