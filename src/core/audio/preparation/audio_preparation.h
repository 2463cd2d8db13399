#pragma once

#include "audio/preparation/upload.h"

#include <QString>

#include <QCoroTask>

#include <memory>

namespace kavo {

/// One recording on its way to the transcription service: decoded into the recording format when it came in
/// another one, its long pauses shortened and the result encoded as M4A, as the job asks. It owns the files it makes,
/// and the recording when that was handed over, and deletes them when it goes; a file moved away meanwhile (kept in
/// History) is simply no longer there. Decoding, trimming and encoding block, so they run on worker threads and
/// are awaited: the main thread stays free.
class AudioPreparation
{
public:
    enum class Ownership { owned, borrowed };

    /// `recording` is a WAV file in the recording format, or a file kept in History (WAV or M4A) when borrowed.
    AudioPreparation(QString recording, Ownership ownership);
    ~AudioPreparation();
    AudioPreparation(const AudioPreparation&) = delete;
    AudioPreparation& operator=(const AudioPreparation&) = delete;

    /// Decodes a file in any format the decoder reads into a new recording of its own. Throws `AudioCodecError`.
    static QCoro::Task<std::unique_ptr<AudioPreparation>> decode(QString file);

    /// Shortens the long pauses of a WAV recording, keeping `keepSeconds` of each; a file in another format, and
    /// audio that cannot be trimmed, is sent as it is.
    QCoro::Task<> trimSilence(double keepSeconds);
    /// Encodes what is to be sent as M4A; when that fails, the WAV is sent (after a log line).
    QCoro::Task<> encode();
    /// Sends `m4a`, made from the recording while it was recorded; the file is now this preparation's.
    void useUpload(const QString& m4a) { m_upload = { m4a, Upload::Format::m4a }; }

    const QString& recording() const { return m_recording; }
    /// The WAV to send: the shortened copy when there is one, else the recording.
    const QString& wav() const { return m_wav; }
    /// What to send: the M4A once encoded, else `wav()`.
    const Upload& upload() const { return m_upload; }

private:
    QString m_recording;
    Ownership m_ownership;
    QString m_wav;
    Upload m_upload;
};

} // namespace kavo
