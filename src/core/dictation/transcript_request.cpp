#include "transcript_request.h"

#include "store/log.h"

namespace kavo {
namespace {

GeminiClient::ProgressHandler stages(TranscriptRequest::StageHandler onStage, DictationStage sending)
{
    if (!onStage)
        return {};
    return [onStage = std::move(onStage), sending](RequestProgress progress) {
        onStage(progress == RequestProgress::retrying ? DictationStage::retrying : sending);
    };
}

// What the service's combined note reply lacked, for the log; none for any other failure, which a plain
// transcription would not mend.
std::optional<QString> unreadableNoteReply(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const GeminiError& error) {
        if (error.kind() == GeminiError::Kind::badResponse)
            return error.detail();
    } catch (...) { }
    return std::nullopt;
}

} // namespace

NoteFiler::Context NoteJob::contextOf(const NotesStore& store)
{
    NoteFiler::Context context;
    for (const NoteFolder& folder : store.folders)
        context.folders.append(folder.name);
    for (const NotesStore::RecentTitle& recent : store.recentTitles(10))
        context.recent.append({ recent.title, recent.folderName });
    return context;
}

QCoro::Task<Transcript> TranscriptRequest::request(
    GeminiClient client, QString audio, std::optional<NoteJob> job, StageHandler onStage)
{
    // Named handlers: g++ 12 destroys a temporary that lives across a suspension twice.
    const GeminiClient::ProgressHandler sending = stages(onStage, DictationStage::transcribing);
    Transcript transcript;
    if (!job) {
        transcript.text = co_await client.transcribe(audio, sending);
        co_return transcript;
    }

    if (client.usesTranscriptionRoute()) {
        transcript.text = co_await client.transcribe(audio, sending);
        if (!job->filer)
            co_return transcript;
        const GeminiClient::ProgressHandler organizing = stages(onStage, DictationStage::organizing);
        std::exception_ptr failure;
        try {
            transcript.result = co_await job->filer->file(transcript.text, job->context, organizing);
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure)
            Log::write(QStringLiteral("note filing failed: ") + errorDescription(failure));
        co_return transcript;
    }

    std::optional<QString> unreadable;
    try {
        const NoteFiler::Reply reply = co_await client.transcribeNote(audio, job->context, sending);
        transcript = { reply.text, reply.result };
        co_return transcript;
    } catch (...) {
        unreadable = unreadableNoteReply(std::current_exception());
        if (!unreadable)
            throw;
    }
    Log::write(QStringLiteral("note reply unreadable (%1); transcribing without filing").arg(*unreadable));
    transcript.text = co_await client.transcribe(audio, sending);
    co_return transcript;
}

TranscriptRequest::TranscriptRequest(GeminiClient client, Upload upload, QString wav, std::optional<NoteJob> job)
    : m_client(std::move(client))
    , m_upload(std::move(upload))
    , m_wav(std::move(wav))
    , m_job(std::move(job))
{ }

QCoro::Task<Transcript> TranscriptRequest::send(StageHandler onStage)
{
    try {
        co_return co_await request(m_client, m_upload.path, m_job, onStage);
    } catch (const std::exception& error) {
        if (m_upload.format != Upload::Format::m4a || !resendsAsWav(error))
            throw;
    }
    Log::write(QStringLiteral("Gemini refused %1 with 400; sending WAV").arg(rawValue(m_upload.format)));
    m_upload = { m_wav, Upload::Format::wav };
    co_return co_await request(m_client, m_wav, m_job, onStage);
}

bool TranscriptRequest::resendsAsWav(const std::exception& error)
{
    const auto* gemini = dynamic_cast<const GeminiError*>(&error);
    if (!gemini || gemini->kind() != GeminiError::Kind::http || gemini->status() != 400)
        return false;
    const QString message = gemini->detail();
    return !message.contains(QStringLiteral("API key"), Qt::CaseInsensitive)
        && !message.contains(QStringLiteral("thinking"), Qt::CaseInsensitive);
}

} // namespace kavo
