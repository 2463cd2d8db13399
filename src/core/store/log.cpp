#include "log.h"

#include "config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTime>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kavo {
namespace {

// A serial queue on one thread; every file operation of the log runs here, in call order.
class LogThread final : public QThread
{
public:
    LogThread()
    {
        setObjectName(QStringLiteral("kavo.log"));
        start();
    }

    ~LogThread() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        wait();
    }

    void enqueue(std::function<void()> job)
    {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
    }

    void waitUntilIdle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    }

protected:
    void run() override
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty() && m_stopping)
                return;
            auto job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_busy = true;
            lock.unlock();
            job();
            lock.lock();
            m_busy = false;
            if (m_jobs.empty())
                m_idle.notify_all();
        }
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
};

LogThread& logThread()
{
    // The thread runs what is still queued when statics are destroyed at exit, and jobs read the path: the path is
    // made first so that it is destroyed last.
    Log::filePath();
    static LogThread thread;
    return thread;
}

void appendLine(const QString& message)
{
    const QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ') + message
        + QLatin1Char('\n');
    const QByteArray bytes = line.toUtf8();
    const QString path = Log::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.exists() && file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(bytes);
        return;
    }
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

QString Log::filePath()
{
    static const QString path = QDir(Config::directory()).filePath(QStringLiteral("kavo.log"));
    return path;
}

void Log::write(const QString& message)
{
    logThread().enqueue([message] { appendLine(message); });
}

void Log::reset()
{
    logThread().enqueue([] { QFile::remove(Log::filePath()); });
}

void Log::flush()
{
    logThread().waitUntilIdle();
}

} // namespace kavo
