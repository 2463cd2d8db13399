#include "test_services.h"

#include "command_runner.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace kavo::test {

namespace {

// flock() belongs to an open file, not to the process, so a second lock of the same file from this process would
// wait for the first one forever. Holds are therefore counted per lock file.
struct Hold
{
    int fd = -1;
    int count = 0;
};

std::mutex& holdsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<QString, Hold>& holds()
{
    static std::map<QString, Hold> map;
    return map;
}

} // namespace

bool TestServices::available()
{
    return qEnvironmentVariable("KAVO_TEST_SERVICES") == QLatin1String("1");
}

QString TestServices::directory()
{
    return qEnvironmentVariable("KAVO_TEST_SERVICES_DIR");
}

QString TestServices::microphoneFifo()
{
    return qEnvironmentVariable("KAVO_TEST_MIC_FIFO");
}

QString TestServices::microphoneSource()
{
    return qEnvironmentVariable("KAVO_TEST_MIC_SOURCE");
}

const char* TestServices::skipReason()
{
    return "needs the private test services: run it through `scripts/test-services run ctest ...`";
}

QString TestServices::restartPulseAudio()
{
    const MicrophoneLock quiet;
    if (!quiet.isLocked())
        return quiet.errorString();
    return runTool(QStringLiteral(KAVO_TEST_SERVICES_SCRIPT), { u"restart-pulse"_qs });
}

MicrophoneLock::MicrophoneLock(const QString& fifoPath, std::chrono::milliseconds timeout)
    : m_lockPath(fifoPath + QLatin1String(".lock"))
{
    if (fifoPath.isEmpty()) {
        m_error = u"no microphone FIFO to lock"_qs;
        return;
    }
    const std::lock_guard guard(holdsMutex());
    Hold& hold = holds()[m_lockPath];
    if (hold.count == 0) {
        const int fd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            m_error = u"cannot open %1: %2"_qs.arg(m_lockPath, QString::fromLocal8Bit(std::strerror(errno)));
            holds().erase(m_lockPath);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            const bool busy = error == EWOULDBLOCK;
            if (!busy || std::chrono::steady_clock::now() >= deadline) {
                m_error = busy ? u"another test kept the microphone %1 for over %2 s"_qs.arg(fifoPath).arg(
                              std::chrono::duration_cast<std::chrono::seconds>(timeout).count())
                               : QString::fromLocal8Bit(std::strerror(error));
                ::close(fd);
                holds().erase(m_lockPath);
                return;
            }
            QThread::msleep(50);
        }
        hold.fd = fd;
    }
    ++hold.count;
    m_locked = true;
}

MicrophoneLock::~MicrophoneLock()
{
    if (!m_locked)
        return;
    const std::lock_guard guard(holdsMutex());
    const auto hold = holds().find(m_lockPath);
    if (--hold->second.count == 0) {
        ::close(hold->second.fd);
        holds().erase(hold);
    }
}

} // namespace kavo::test
