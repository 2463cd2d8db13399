#pragma once

#include "audio/recorder.h"

#include <QString>

#include <optional>

namespace kavo::test {

/// A recorder that plays back a script instead of a microphone: each stop delivers a fresh copy of a prepared WAV
/// file on the next turn of the event loop, as the real recorder delivers from its audio thread.
class ScriptedRecorder : public Recorder
{
public:
    /// What the next stop delivers: a copy of this WAV file, or nothing when none is set.
    std::optional<QString> nextRecording;
    /// Thrown by the next start instead of starting.
    std::optional<Failure> startFailure;
    std::optional<float> currentLevel;
    int starts = 0;

    void start(const QString& deviceID, bool noiseReduction) override;
    void stop(Completion completion) override;
    std::optional<float> level() const override { return m_recording ? currentLevel : std::nullopt; }
    bool isRecording() const override { return m_recording; }
    QString deviceName(const QString& deviceID) const override;

    /// Ends the running recording as a lost microphone would.
    void breakDown();

private:
    bool m_recording = false;
};

/// A 16 kHz mono 16-bit WAV file of a steady tone, `seconds` long, in the temporary folder.
QString toneWav(double seconds);

} // namespace kavo::test
