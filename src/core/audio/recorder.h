#pragma once

#include "audio/recorder_failure.h"

#include <QObject>
#include <QString>

#include <QCoroTask>

#include <functional>
#include <optional>

namespace kavo {

/// What a dictation asks of the thing that records it: start, stop with the finished file, and the live level.
/// Every call and every signal belongs to the main thread.
class Recorder : public QObject
{
    Q_OBJECT

public:
    using Failure = RecorderFailure;

    struct Recording
    {
        QString path; ///< the WAV file, now the caller's
        double duration = 0; ///< seconds
        qint64 frames = 0; ///< of the file, at the recording rate
    };

    /// Told every run of samples as they go into the recording, from the recorder's threads, one call at a time;
    /// told a null run when the recording started over, so that what it was told before is void.
    using FrameListener = std::function<void(const qint16* samples, int frames)>;

    using QObject::QObject;

    /// Starts recording from `deviceID` (empty: the default source). Throws `Failure`. What a failed recording
    /// left behind and nobody took is deleted.
    virtual void start(const QString& deviceID, bool noiseReduction, FrameListener listener = {}) = 0;
    /// Ends the recording and hands over its file; nothing when nothing was recorded. After `failed`, it hands over
    /// what was recorded until then.
    virtual QCoro::Task<std::optional<Recording>> stop() = 0;
    /// The latest input level in dB, while recording and once one has arrived.
    virtual std::optional<float> level() const = 0;
    virtual bool isRecording() const = 0;
    /// The name of an input for the log.
    virtual QString deviceName(const QString& deviceID) const = 0;

    /// A new file in the temporary folder: "kavo-" + UUID + ".wav".
    static QString newFilePath();

Q_SIGNALS:
    /// A running recording could not go on; `stop()` hands over what it recorded until then, if anything.
    void failed(const kavo::RecorderFailure& failure);
};

} // namespace kavo
