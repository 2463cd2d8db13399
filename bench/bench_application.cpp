#include "bench_support.h"

#include "store/config.h"
#include "support/status_notifier_host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>

#include <unistd.h>

using namespace kavo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// One value of /proc/PID/status, such as "VmRSS" in kB.
qint64 statusValue(qint64 pid, const QByteArray& key, const QString& path = QString())
{
    QFile file(path.isEmpty() ? QStringLiteral("/proc/%1/status").arg(pid) : path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(QByteArray(key + ':')))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Context switches of each of the process's threads, by thread id: each is a thread waking up.
QHash<QString, qint64> contextSwitches(qint64 pid)
{
    QHash<QString, qint64> switches;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString status = tasks + u'/' + task + QStringLiteral("/status");
        switches.insert(task,
            statusValue(pid, "voluntary_ctxt_switches", status)
                + statusValue(pid, "nonvoluntary_ctxt_switches", status));
    }
    return switches;
}

// Wake-ups between two readings; a thread that ended in between counts what it had at the first.
qint64 wakeUps(const QHash<QString, qint64>& before, const QHash<QString, qint64>& after)
{
    qint64 total = 0;
    for (auto thread = after.cbegin(); thread != after.cend(); ++thread)
        total += thread.value() - before.value(thread.key(), 0);
    return total;
}

// CPU time the process used, in clock ticks (user + system).
qint64 cpuTicks(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

// A data folder of a user who has set the application up, so that it starts to the tray without a window.
void useSetUpDataFolder(bool pill = true)
{
    bench::useTemporaryDataFolder();
    Config config;
    config.apiKey = QStringLiteral("bench-key");
    config.onboardingDone = true;
    config.hudVisible = pill;
    config.save();
    // The key is checked at start: against a closed local port, so nothing leaves the computer.
    qputenv("KAVO_GEMINI_BASE_URL", "http://127.0.0.1:9");
}

bool hasDesktop(benchmark::State& state)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    state.SkipWithError("needs a display and a session bus: run it under scripts/test-services");
    return false;
}

// Starts the application and waits for its tray icon; false when it does not come within ten seconds.
bool start(QProcess& application, test::StatusNotifierHost& tray)
{
    application.start(QStringLiteral(KAVO_VOICE_BINARY), {});
    return application.waitForStarted() && QTest::qWaitFor([&] { return !tray.items().isEmpty(); }, 10000);
}

void stop(QProcess& application)
{
    application.terminate();
    if (!application.waitForFinished(10000))
        application.kill();
}

// From the start of the program to its tray icon registered with the panel's tray.
void startToTray(benchmark::State& state)
{
    if (!hasDesktop(state))
        return;
    useSetUpDataFolder();
    for (auto _ : state) {
        test::StatusNotifierHost tray;
        QProcess application;
        const Clock::time_point begin = Clock::now();
        if (!start(application, tray)) {
            state.SkipWithError("the tray icon did not appear");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
        state.PauseTiming();
        stop(application);
        state.ResumeTiming();
    }
}
BENCHMARK(startToTray)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Starts the application and lets its start-up work settle; false, with the benchmark skipped, when its tray icon
// does not come.
bool startSettled(benchmark::State& state, QProcess& application, test::StatusNotifierHost& tray)
{
    if (!start(application, tray)) {
        state.SkipWithError("the tray icon did not appear");
        return false;
    }
    QTest::qWait(3000);
    return true;
}

// CPU use in percent and thread wake-ups per second of a running program over `seconds`.
std::pair<double, double> activity(qint64 pid, int seconds)
{
    const qint64 ticks = cpuTicks(pid);
    const QHash<QString, qint64> switches = contextSwitches(pid);
    QTest::qWait(seconds * 1000);
    return { double(cpuTicks(pid) - ticks) / sysconf(_SC_CLK_TCK) / seconds * 100.0,
        double(wakeUps(switches, contextSwitches(pid))) / seconds };
}

// The application at rest with its tray icon and pill, the window closed: CPU time and wake-ups over 30 s, and
// memory.
void idle(benchmark::State& state)
{
    if (!hasDesktop(state))
        return;
    useSetUpDataFolder();
    for (auto _ : state) {
        test::StatusNotifierHost tray;
        QProcess application;
        if (!startSettled(state, application, tray))
            return;
        const qint64 pid = application.processId();
        const auto [cpu, wakeUps] = activity(pid, 30);
        state.counters["cpu_percent"] = cpu;
        state.counters["wakeups_per_s"] = wakeUps;
        state.counters["rss_MB"] = double(statusValue(pid, "VmRSS")) / 1024.0;
        stop(application);
    }
}
BENCHMARK(idle)->Unit(benchmark::kSecond)->Iterations(1);

// The application recording from the microphone, with the pill listening (the wave drawn, the time counting) or
// hidden (argument 0): CPU time and wake-ups over 10 s.
void listening(benchmark::State& state)
{
    if (!hasDesktop(state))
        return;
    useSetUpDataFolder(state.range(0) != 0);
    for (auto _ : state) {
        test::StatusNotifierHost tray;
        QProcess application;
        if (!startSettled(state, application, tray))
            return;
        if (QProcess::execute(QStringLiteral(KAVO_VOICE_BINARY), { QStringLiteral("start") }) != 0) {
            state.SkipWithError("the recording did not start");
            return;
        }
        QTest::qWait(1000);
        const auto [cpu, wakeUps] = activity(application.processId(), 10);
        state.counters["cpu_percent"] = cpu;
        state.counters["wakeups_per_s"] = wakeUps;
        QProcess::execute(QStringLiteral(KAVO_VOICE_BINARY), { QStringLiteral("cancel") });
        stop(application);
    }
}
BENCHMARK(listening)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithQtApplication(argc, argv);
}
