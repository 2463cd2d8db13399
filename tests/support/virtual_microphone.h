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

/// How closely a 16 kHz recording follows the loudness of what the microphone was fed: the best correlation of their
/// level envelopes (RMS per 20 ms), either leading by up to 0.5 s. The envelope is the shape of speech over time,
/// which survives noise reduction and the small delay before a stream connects; a faithful recording scores over 0.8.
double envelopeCorrelation(const std::vector<float>& fed, const std::vector<float>& recorded);

/// Plays 16 kHz mono 16-bit audio into a FIFO the way a microphone delivers it: 20 ms chunks paced by a steady clock
/// from its own thread, then silence until stop(). By default it feeds the private PulseAudio's pipe source, which
/// passes on whatever arrives at once, so unpaced writes would reach recorders as one burst, and which produces
/// nothing while nothing is written. Holds a MicrophoneLock from start() to stop().
class VirtualMicrophone
{
public:
    explicit VirtualMicrophone(QString fifoPath = TestServices::microphoneFifo())
        : m_fifoPath(std::move(fifoPath))
    { }
    ~VirtualMicrophone() { stop(); }
    VirtualMicrophone(const VirtualMicrophone&) = delete;
    VirtualMicrophone& operator=(const VirtualMicrophone&) = delete;

    /// Takes the samples of a 16 kHz mono 16-bit WAV file as the content; false (see errorString()) for other files.
    bool setWavFile(const QString& path);
    void setSamples(const std::vector<qint16>& samples);

    /// Starts feeding the FIFO; false (see errorString()) when nothing reads it or another test program keeps the
    /// microphone.
    bool start();
    /// Stops feeding, also in the middle of the content, and closes the FIFO.
    void stop();
    /// Waits until the content has played; false when the time runs out or feeding failed.
    bool wait(std::chrono::milliseconds timeout = std::chrono::minutes(2));
    /// True once the whole content has been fed and its duration has passed.
    bool isFinished() const
    {
        const std::lock_guard guard(m_mutex);
        return m_finished;
    }
    QString errorString() const
    {
        const std::lock_guard guard(m_mutex);
        return m_error;
    }

private:
    void feed();
    bool write(QByteArrayView bytes);
    bool fail(const QString& error);

    QString m_fifoPath;
    QByteArray m_content; ///< little-endian samples

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
