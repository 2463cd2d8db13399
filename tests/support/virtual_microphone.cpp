#include "virtual_microphone.h"

#include "command_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo::test {

namespace {

constexpr quint16 pcmFormat = 1;
// A reader that takes nothing for this long is stuck; the feeding thread gives up instead of hanging the test.
constexpr std::chrono::seconds stallLimit { 10 };

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

quint16 readLe16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 readLe32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

// Checks a "fmt " chunk body; returns why the format is not 16 kHz mono 16-bit PCM, or nothing when it is.
QString formatProblem(QByteArrayView format)
{
    if (format.size() < 16)
        return QStringLiteral("the fmt chunk is %1 bytes, too short").arg(format.size());
    if (const quint16 tag = readLe16(format, 0); tag != pcmFormat)
        return QStringLiteral("format %1 is not integer PCM").arg(tag);
    if (const quint16 channels = readLe16(format, 2); channels != 1)
        return QStringLiteral("%1 channels, not mono").arg(channels);
    if (const quint32 rate = readLe32(format, 4); rate != VirtualMicrophone::sampleRate)
        return QStringLiteral("%1 Hz, not %2 Hz").arg(rate).arg(VirtualMicrophone::sampleRate);
    if (const quint16 bits = readLe16(format, 14); bits != 16)
        return QStringLiteral("%1-bit samples, not 16-bit").arg(bits);
    return {};
}

std::vector<double> envelope(const std::vector<float>& samples)
{
    constexpr std::size_t window = VirtualMicrophone::samplesPerChunk;
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= samples.size(); at += window) {
        const float* begin = samples.data() + at;
        levels.push_back(std::sqrt(std::inner_product(begin, begin + window, begin, 0.0) / window));
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

WavSamples readWav(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.sliced(8, 4) != "WAVE")
        return { {}, QStringLiteral("not a RIFF WAVE file") };

    std::optional<QByteArrayView> format;
    std::optional<QByteArrayView> data;
    qsizetype position = 12;
    while (position + 8 <= bytes.size() && !data) {
        const QByteArrayView id(bytes.constData() + position, 4);
        const qsizetype size = readLe32(bytes, position + 4);
        const qsizetype body = position + 8;
        const QByteArrayView content(bytes.constData() + body, std::min(size, bytes.size() - body));
        if (id == "fmt ")
            format = content;
        else if (id == "data")
            data = content;
        // Chunks are padded to an even length.
        position = body + size + (size & 1);
    }
    if (!format)
        return { {}, QStringLiteral("no fmt chunk before the samples") };
    if (const QString problem = formatProblem(*format); !problem.isEmpty())
        return { {}, problem };
    if (!data)
        return { {}, QStringLiteral("no data chunk") };

    WavSamples wav;
    wav.samples.resize(std::size_t(data->size() / 2));
    for (std::size_t index = 0; index < wav.samples.size(); ++index)
        wav.samples[index] = qFromLittleEndian<qint16>(data->data() + 2 * index);
    return wav;
}

VirtualMicrophone::VirtualMicrophone(QString fifoPath)
    : m_fifoPath(std::move(fifoPath))
{ }

VirtualMicrophone::~VirtualMicrophone()
{
    stop();
}

bool VirtualMicrophone::setWavFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    WavSamples wav = readWav(file.readAll());
    if (!wav.isValid()) {
        fail(QStringLiteral("%1: %2").arg(path, wav.error));
        return false;
    }
    setSamples(std::move(wav.samples));
    return true;
}

void VirtualMicrophone::setSamples(std::vector<qint16> samples)
{
    m_samples = std::move(samples);
}

void VirtualMicrophone::setSilence(std::chrono::milliseconds duration)
{
    m_samples.assign(std::size_t(duration.count() * sampleRate / 1000), 0);
}

std::chrono::milliseconds VirtualMicrophone::contentDuration() const
{
    return std::chrono::milliseconds(qint64(m_samples.size()) * 1000 / sampleRate);
}

bool VirtualMicrophone::start()
{
    if (isRunning()) {
        fail(QStringLiteral("the microphone is already running"));
        return false;
    }
    stop();
    {
        const std::lock_guard guard(m_mutex);
        m_error.clear();
        m_finished = false;
        m_stopRequested = false;
    }
    if (m_fifoPath.isEmpty()) {
        fail(QStringLiteral("no microphone FIFO: KAVO_TEST_MIC_FIFO is not set"));
        return false;
    }
    const QByteArray path = QFile::encodeName(m_fifoPath);
    struct stat status
    { };
    if (::stat(path.constData(), &status) != 0 || !S_ISFIFO(status.st_mode)) {
        fail(QStringLiteral("%1 is not a FIFO").arg(m_fifoPath));
        return false;
    }
    auto lock = std::make_unique<MicrophoneLock>(m_fifoPath);
    if (!lock->isLocked()) {
        fail(lock->errorString());
        return false;
    }
    // Without O_NONBLOCK, opening a FIFO that nothing reads would wait for a reader forever.
    m_fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        fail(error == ENXIO ? QStringLiteral("nothing reads %1; is the test PulseAudio running?").arg(m_fifoPath)
                            : QStringLiteral("cannot open %1: %2").arg(m_fifoPath, systemError(error)));
        return false;
    }
    m_lock = std::move(lock);
    {
        const std::lock_guard guard(m_mutex);
        m_running = true;
    }
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
    closeFifo();
    m_lock.reset();
}

bool VirtualMicrophone::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_finished || !m_running; });
    return m_finished && m_error.isEmpty();
}

bool VirtualMicrophone::isFinished() const
{
    const std::lock_guard guard(m_mutex);
    return m_finished;
}

bool VirtualMicrophone::isRunning() const
{
    const std::lock_guard guard(m_mutex);
    return m_running;
}

QString VirtualMicrophone::errorString() const
{
    const std::lock_guard guard(m_mutex);
    return m_error;
}

void VirtualMicrophone::feed()
{
    // A reader that went away must show up as EPIPE from write(), not as a signal that ends the test program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    const std::vector<qint16> silence(samplesPerChunk, 0);
    // Every chunk is due at a fixed offset from the start, so a late chunk never shifts the ones after it.
    const auto begin = Clock::now();
    std::size_t offset = 0;
    for (qint64 chunk = 0;; ++chunk) {
        {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_until(lock, begin + chunk * chunkDuration, [this] { return m_stopRequested.load(); }))
                break;
            if (offset >= m_samples.size() && !m_finished) {
                m_finished = true;
                m_changed.notify_all();
            }
        }
        const bool inContent = offset < m_samples.size();
        if (!inContent && m_afterContent == AfterContent::Stop)
            break;
        const std::size_t count = inContent ? std::min(samplesPerChunk, m_samples.size() - offset) : samplesPerChunk;
        if (!writeChunk(inContent ? m_samples.data() + offset : silence.data(), count))
            break;
        if (inContent)
            offset += count;
    }
    {
        const std::lock_guard guard(m_mutex);
        m_running = false;
    }
    m_changed.notify_all();
}

bool VirtualMicrophone::writeChunk(const qint16* samples, std::size_t count)
{
    QByteArray bytes(qsizetype(count * 2), Qt::Uninitialized);
    for (std::size_t index = 0; index < count; ++index)
        qToLittleEndian<qint16>(samples[index], bytes.data() + 2 * index);

    const char* data = bytes.constData();
    std::size_t left = std::size_t(bytes.size());
    auto lastProgress = Clock::now();
    while (left > 0 && !m_stopRequested) {
        const ssize_t written = ::write(m_fd, data, left);
        if (written > 0) {
            data += written;
            left -= std::size_t(written);
            lastProgress = Clock::now();
            continue;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EAGAIN) {
            fail(QStringLiteral("writing to %1 failed: %2").arg(m_fifoPath, systemError(error)));
            return false;
        }
        if (Clock::now() - lastProgress > stallLimit) {
            fail(QStringLiteral("nothing read from %1 for %2 s").arg(m_fifoPath).arg(stallLimit.count()));
            return false;
        }
        pollfd writable { m_fd, POLLOUT, 0 };
        ::poll(&writable, 1, 50);
    }
    return true;
}

void VirtualMicrophone::fail(const QString& error)
{
    const std::lock_guard guard(m_mutex);
    m_error = error;
}

void VirtualMicrophone::closeFifo()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace kavo::test
