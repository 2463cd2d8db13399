#include "virtual_microphone.h"

#include "audio/codec/wav_reader.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace kavo::test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int sampleRate = 16000;
constexpr std::chrono::milliseconds chunkDuration { 20 };
constexpr qsizetype samplesPerChunk = sampleRate * chunkDuration.count() / 1000, chunkBytes = 2 * samplesPerChunk;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::vector<double> envelope(const std::vector<float>& samples)
{
    std::vector<double> levels;
    for (std::size_t at = 0; at + samplesPerChunk <= samples.size(); at += samplesPerChunk) {
        const float* begin = samples.data() + at;
        levels.push_back(std::sqrt(std::inner_product(begin, begin + samplesPerChunk, begin, 0.0) / samplesPerChunk));
    }
    return levels;
}

} // namespace

double envelopeCorrelation(const std::vector<float>& fed, const std::vector<float>& recorded)
{
    const std::vector<double> a = envelope(fed), b = envelope(recorded);
    constexpr int maximumShift = 25; // windows: 0.5 s
    double best = -1;
    for (int shift = -maximumShift; shift <= maximumShift; ++shift) {
        double n = 0, sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const auto j = qsizetype(i) + shift;
            if (j < 0 || j >= qsizetype(b.size()))
                continue;
            n += 1, sa += a[i], sb += b[j], saa += a[i] * a[i], sbb += b[j] * b[j], sab += a[i] * b[j];
        }
        best = std::max(best, (n * sab - sa * sb) / std::sqrt((n * saa - sa * sa) * (n * sbb - sb * sb)));
    }
    return best;
}

bool VirtualMicrophone::setWavFile(const QString& path)
{
    try {
        const WavAudio wav = readWav(path);
        if (wav.format != WavFormat { sampleRate, 1, SampleFormat::int16 })
            return fail(path + QStringLiteral(" is not 16 kHz mono 16-bit PCM"));
        std::vector<qint16> samples;
        for (const float sample : wav.channels.front())
            samples.push_back(qint16(std::lround(sample * 32768)));
        setSamples(samples);
        return true;
    } catch (const WavError& error) {
        return fail(path + QStringLiteral(": ") + error.message());
    }
}

void VirtualMicrophone::setSamples(const std::vector<qint16>& samples)
{
    // Whole chunks: the last one is filled up with silence.
    m_content = QByteArray(qsizetype((samples.size() + samplesPerChunk - 1) / samplesPerChunk * chunkBytes), 0);
    qToLittleEndian<qint16>(samples.data(), qsizetype(samples.size()), m_content.data());
}

bool VirtualMicrophone::start()
{
    stop();
    m_stopRequested = m_finished = false;
    m_error.clear();
    auto lock = std::make_unique<MicrophoneLock>(m_fifoPath);
    if (!lock->isLocked())
        return fail(lock->errorString());
    // Without O_NONBLOCK, opening a FIFO that nothing reads would wait for a reader forever.
    m_fd = ::open(QFile::encodeName(m_fifoPath).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno == ENXIO ? QStringLiteral("nothing reads %1; is the test PulseAudio running?").arg(m_fifoPath)
                                   : QStringLiteral("cannot open %1: %2").arg(m_fifoPath, systemError(errno)));
    m_lock = std::move(lock);
    m_running = true;
    m_thread = std::thread(&VirtualMicrophone::feed, this);
    return true;
}

void VirtualMicrophone::stop()
{
    {
        const std::lock_guard guard(m_mutex);
        m_stopRequested = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    m_lock.reset();
}

bool VirtualMicrophone::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_finished || !m_running; });
    return m_finished && m_error.isEmpty();
}

void VirtualMicrophone::feed()
{
    // A reader that went away must show up as EPIPE from write(), not as a signal that ends the test program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    const QByteArray silence(chunkBytes, 0);
    // Every chunk is due at a fixed offset from the start, so a late chunk never shifts the ones after it.
    const auto begin = Clock::now();
    for (qsizetype chunk = 0;; ++chunk) {
        const qsizetype offset = chunk * chunkBytes;
        {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_until(lock, begin + chunk * chunkDuration, [this] { return m_stopRequested.load(); }))
                break;
            if (offset >= m_content.size() && !m_finished) {
                m_finished = true;
                m_changed.notify_all();
            }
        }
        if (!write(offset < m_content.size() ? QByteArrayView(m_content).sliced(offset, chunkBytes) : silence))
            break;
    }
    {
        const std::lock_guard guard(m_mutex);
        m_running = false;
    }
    m_changed.notify_all();
}

bool VirtualMicrophone::write(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && !m_stopRequested) {
        const ssize_t written = ::write(m_fd, bytes.data(), std::size_t(bytes.size()));
        const int error = errno;
        if (written > 0) {
            bytes = bytes.sliced(written);
        } else if (error != EINTR && error != EAGAIN) {
            return fail(QStringLiteral("writing to %1 failed: %2").arg(m_fifoPath, systemError(error)));
        } else {
            pollfd writable { m_fd, POLLOUT, 0 };
            ::poll(&writable, 1, 50);
        }
    }
    return true;
}

bool VirtualMicrophone::fail(const QString& error)
{
    const std::lock_guard guard(m_mutex);
    m_error = error;
    return false;
}

} // namespace kavo::test
