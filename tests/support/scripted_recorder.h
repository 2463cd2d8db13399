#pragma once

#include "audio/recorder.h"

#include <QString>

#include <optional>

namespace kavo::test {

/// A recorder that plays back a script instead of a microphone: each stop delivers a fresh copy of a prepared WAV
/// file on the next turn of the event loop, as the real recorder delivers from its audio thread, after telling its
/// listener the file's samples in 20 ms runs when the file is in the recording format.
class ScriptedRecorder : public Recorder
{
public:
    /// What the next stop delivers: a copy of this WAV file, or nothing when none is set.
    std::optional<QString> nextRecording;
    /// Thrown by the next start instead of starting.
    std::optional<Failure> startFailure;
    int starts = 0;

    void start(const QString& deviceID, bool noiseReduction, FrameListener listener = {}) override;
    QCoro::Task<std::optional<Recording>> stop() override;
    std::optional<float> level() const override { return std::nullopt; }
    bool isRecording() const override { return m_recording; }
    QString deviceName(const QString& deviceID) const override;

    /// Ends the running recording as a lost microphone would; `stop()` then hands over `nextRecording`.
    void breakDown();

private:
    std::optional<Recording> take();

    bool m_recording = false;
    bool m_broken = false;
    FrameListener m_listener;
};

/// A 16 kHz mono 16-bit WAV file of a steady tone, `seconds` long, in the temporary folder.
QString toneWav(double seconds);

} // namespace kavo::test
