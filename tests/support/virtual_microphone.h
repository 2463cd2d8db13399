#pragma once

#include "test_services.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kavo::test {

/// The samples of a 16 kHz mono 16-bit PCM WAV file, or why the file is not one.
struct WavSamples
{
    std::vector<qint16> samples;
    QString error;

    bool isValid() const { return error.isEmpty(); }
};

/// Reads a 16 kHz mono 16-bit PCM WAV, walking the RIFF chunks to "fmt " and "data" (writers put LIST and other
/// chunks in between). A data chunk that claims more than the file holds, as streamed WAVs do, ends at the file's end.
WavSamples readWav(const QByteArray& bytes);

/// How closely a 16 kHz recording follows the loudness of what the microphone was fed: the best correlation of their
/// level envelopes (RMS per 20 ms), either leading by up to 0.5 s. The envelope is the shape of speech over time,
/// which survives noise reduction and the small delay before a stream connects; a faithful recording scores over 0.8.
double envelopeCorrelation(const std::vector<float>& fed, const std::vector<float>& recorded);

/// Plays 16 kHz mono 16-bit audio into a FIFO the way a microphone delivers it: 20 ms chunks paced by a steady clock
/// from its own thread, without drift when a chunk is late. By default it feeds the private PulseAudio's pipe source,
/// which passes on whatever arrives at once, so unpaced writes would reach recorders as one burst. The microphone
/// holds a MicrophoneLock from start() to stop().
class VirtualMicrophone
{
public:
    static constexpr int sampleRate = 16000;
    static constexpr std::chrono::milliseconds chunkDuration { 20 };
    static constexpr std::size_t samplesPerChunk = sampleRate * chunkDuration.count() / 1000;

    /// What the microphone feeds once the content has played. The pipe source produces nothing while nothing is
    /// written, so a recorder that must keep receiving frames needs Silence.
    enum class AfterContent { Stop, Silence };

    explicit VirtualMicrophone(QString fifoPath = TestServices::microphoneFifo());
    ~VirtualMicrophone();
    VirtualMicrophone(const VirtualMicrophone&) = delete;
    VirtualMicrophone& operator=(const VirtualMicrophone&) = delete;

    /// The content is set before start(). Takes a WAV file's samples as the content; false (see errorString()) when it
    /// is not 16 kHz mono 16-bit PCM.
    bool setWavFile(const QString& path);
    void setSamples(std::vector<qint16> samples);
    void setSilence(std::chrono::milliseconds duration);
    void setAfterContent(AfterContent afterContent) { m_afterContent = afterContent; }

    const std::vector<qint16>& samples() const { return m_samples; }
    std::chrono::milliseconds contentDuration() const;

    /// Opens the FIFO and starts feeding it. False (see errorString()) when nothing reads the FIFO, it is not a FIFO,
    /// the microphone is already running or another test program keeps the microphone.
    bool start();
    /// Stops feeding, also in the middle of the content, and closes the FIFO.
    void stop();
    /// Waits until the content has played; false when the time runs out or feeding failed.
    bool wait(std::chrono::milliseconds timeout = std::chrono::minutes(2));

    /// True once the whole content has been fed and its duration has passed.
    bool isFinished() const;
    /// True while the feeding thread runs (through the silence after the content, with AfterContent::Silence).
    bool isRunning() const;
    QString errorString() const;

private:
    using Clock = std::chrono::steady_clock;

    void feed();
    bool writeChunk(const qint16* samples, std::size_t count);
    void fail(const QString& error);
    void closeFifo();

    QString m_fifoPath;
    std::vector<qint16> m_samples;
    AfterContent m_afterContent = AfterContent::Stop;

    std::unique_ptr<MicrophoneLock> m_lock;
    int m_fd = -1;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<bool> m_stopRequested = false;
    bool m_running = false;
    bool m_finished = false;
    QString m_error;
};

} // namespace kavo::test
