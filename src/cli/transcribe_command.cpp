#include "command_line.h"

#include "dictation/transcript_request.h"

#include "audio/audio_error.h"
#include "audio/preparation/audio_preparation.h"

#include "notes/notes_store.h"
#include "store/config.h"
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

// One input file goes the way a dictation's recording goes: decoded into the recording format, its long pauses
// shortened when the settings say so, encoded as M4A, and sent once more as WAV when the service refuses the M4A.
// QCoro::waitFor does not return from a task that throws, so a failure comes back as its description.
QCoro::Task<std::variant<Outcome, QString>> transcribeFile(
    QString file, GeminiClient client, Config config, bool note, TranscriptRequest::StageHandler onStage)
{
    std::unique_ptr<AudioPreparation> audio;
    try {
        audio = co_await AudioPreparation::decode(file);
    } catch (const AudioError& error) {
        co_return QStringLiteral("could not read the audio: ") + error.message();
    }
    if (config.trimSilence)
        co_await audio->trimSilence(config.keepSilenceSeconds);
    co_await audio->encode();
    try {
        Outcome outcome = co_await transcribePrepared(client, config, audio->upload(), audio->wav(), note, onStage);
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

    const Config config = loadSettings();
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
        const auto settledOutcome = QCoro::waitFor(transcribeFile(file, client, config, note, progress));
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
