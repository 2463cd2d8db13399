#pragma once

#include "audio/preparation/upload.h"
#include "dictation/dictation_state.h"
#include "notes/notes_store.h"
#include "transcription/gemini_client.h"
#include "transcription/note_filer.h"

#include <QString>

#include <QCoroTask>

#include <functional>
#include <optional>

namespace kavo {

/// What a dictation into a note still needs besides its text.
struct NoteJob
{
    bool title = false; ///< the note has no title yet: it takes the one the classification gives
    bool folder = false; ///< the note is empty: it may move into the folder the classification names
    NoteFiler::Context context;
    std::optional<NoteFiler> filer; ///< classifies in a request of its own; none without a text model

    /// The existing folders in store order and the ten newest titles.
    static NoteFiler::Context contextOf(const NotesStore& store);
};

/// A transcript, with the note's classification when one was asked for and given.
struct Transcript
{
    QString text;
    std::optional<NoteFiler::Result> result;
};

/// The requests of one dictation: the transcript, and for a note its classification, either from one combined
/// request or, for models of the transcription route, from a second request of the note filer. The M4A upload is
/// sent once more as WAV when the service refuses it.
class TranscriptRequest
{
public:
    using StageHandler = std::function<void(DictationStage)>;

    /// `wav` is what `upload` was encoded from.
    TranscriptRequest(GeminiClient client, Upload upload, QString wav, std::optional<NoteJob> job);

    /// Sends the upload, and the WAV in its place when the M4A is refused. Throws what the last attempt threw.
    /// The request must outlive the task.
    QCoro::Task<Transcript> send(StageHandler onStage);
    /// What was sent last: the M4A, or the WAV after a refusal.
    const Upload& upload() const { return m_upload; }

    /// Whether a refused M4A upload is worth sending again as WAV: only a 400 reply that blames neither the API
    /// key nor the thinking configuration, which the WAV would run into just the same.
    static bool resendsAsWav(const std::exception& error);

    /// One attempt at the transcript of `audio`, with the classification `job` calls for.
    static QCoro::Task<Transcript> request(
        GeminiClient client, QString audio, std::optional<NoteJob> job, StageHandler onStage);

private:
    GeminiClient m_client;
    Upload m_upload;
    QString m_wav;
    std::optional<NoteJob> m_job;
};

} // namespace kavo
