#pragma once

#include "audio/recorder_failure.h"

#include <QString>

#include <functional>
#include <optional>

namespace kavo {

/// What a dictation asks of the thing that records it: start, stop with the finished file, and the live level.
/// Every call and every callback belongs to the main thread.
class Recorder
{
public:
    using Failure = RecorderFailure;

    struct Recording
    {
        QString url; ///< the WAV file, now the caller's
        double duration = 0; ///< seconds
    };
    using Completion = std::function<void(std::optional<Recording>)>;

    virtual ~Recorder() = default;

    /// Starts recording from `deviceID` (empty: the default source). Throws `Failure`.
    virtual void start(const QString& deviceID, bool noiseReduction) = 0;
    /// Ends the recording; `completion` runs once on the main thread, at once when nothing records.
    virtual void stop(Completion completion) = 0;
    /// The latest input level in dB, while recording and once one has arrived.
    virtual std::optional<float> level() const = 0;
    virtual bool isRecording() const = 0;
    /// The name of an input for the log.
    virtual QString deviceName(const QString& deviceID) const = 0;

    /// A new file in the temporary folder: "kavo-" + UUID + ".wav".
    static QString newFileURL();

    /// Told when a running recording could not go on. When its microphone went away, the audio recorded until
    /// then comes along and belongs to the callee; otherwise there is none.
    std::function<void(const Failure&, std::optional<Recording>)> onFailure;
};

} // namespace kavo
