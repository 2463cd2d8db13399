#include "silent_stream.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace kavo::test {

bool playsOnServer(qint64 pid)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), { QStringLiteral("list"), QStringLiteral("sink-inputs") });
    pactl.waitForFinished();
    return pactl.readAllStandardOutput().contains(QStringLiteral("application.process.id = \"%1\"").arg(pid).toUtf8());
}

namespace {

bool awaitListed(qint64 pid, bool listed)
{
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (playsOnServer(pid) == listed)
            return true;
    }
    return false;
}

} // namespace

SilentStream::~SilentStream()
{
    stop();
}

bool SilentStream::start(const QString& applicationID)
{
    m_process.setStandardInputFile(QStringLiteral("/dev/zero"));
    // A player killed by its test must not leave its sound behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(QStringLiteral("pacat"), { QStringLiteral("--property=application.id=") + applicationID });
    return m_process.waitForStarted() && awaitListed(m_process.processId(), true);
}

void SilentStream::stop()
{
    if (!isPlaying())
        return;
    const qint64 pid = m_process.processId();
    m_process.kill();
    m_process.waitForFinished();
    awaitListed(pid, false);
}

} // namespace kavo::test
