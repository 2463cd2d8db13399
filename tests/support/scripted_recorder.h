#pragma once

#include "audio/recorder.h"

#include <QString>

#include <optional>
#include <utility>

namespace kavo::test {

/// A recorder that plays back a script instead of a microphone: each stop delivers a fresh copy of a prepared WAV
/// file on the next turn of the event loop, as the real recorder delivers from its audio thread. When the file is in
/// the recording format, its listener is told the samples in 20 ms runs: at the start when the file is known by
/// then, as a microphone delivers them before the stop, else at the stop.
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
    /// A copy of `source`, its samples told to the listener.
    Recording record(const QString& source) const;

    bool m_recording = false;
    bool m_broken = false;
    FrameListener m_listener;
    /// The recording made at the start, and the file it copies.
    std::optional<std::pair<QString, Recording>> m_made;
};

/// A 16 kHz mono 16-bit WAV file of a steady tone, `seconds` long, in the temporary folder.
QString toneWav(double seconds);

} // namespace kavo::test
