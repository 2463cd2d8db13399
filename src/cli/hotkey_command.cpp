#include "command_line.h"
#include "stop_trigger.h"

#include "hotkey/hotkey_monitor.h"
#include "platform/session_backends.h"
#include "store/config.h"

#include <QEventLoop>

namespace kavo::cli {

// `hotkey watch` runs the hotkey with the user's settings and prints what it would do, so that the chord, the
// mode and the input access can be checked without dictating.
int runHotkey(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    std::optional<double> seconds;
    if (arguments.value(0) != QLatin1String("watch")) {
        err << "kavo-voice hotkey: expected watch\n";
        printUsage(err);
        return usageError;
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--seconds"))
        seconds = parseSeconds(arguments[2]);
    if (arguments.size() != 1 && !seconds) {
        err << "kavo-voice hotkey: watch takes only --seconds N\n";
        printUsage(err);
        return usageError;
    }

    const Config config = loadSettings();
    HotkeyMonitor monitor(SessionBackends::hotkeySource);
    monitor.kind = config.hotkey;
    monitor.mode = config.hotkeyMode;
    monitor.holdThreshold = config.holdThresholdMs / 1000.0;
    const auto report = [&out](const char* what) {
        out << what << '\n';
        out.flush();
    };
    QObject::connect(&monitor, &HotkeyMonitor::startRequested, [&] { report("start"); });
    QObject::connect(&monitor, &HotkeyMonitor::stopRequested, [&] { report("stop"); });
    QObject::connect(&monitor, &HotkeyMonitor::cancelRequested, [&] { report("cancel"); });
    QObject::connect(&monitor, &HotkeyMonitor::toggleRequested, [&] { report("toggle"); });
    monitor.start();
    if (!monitor.hasInputAccess()) {
        err << monitor.inputProblem() << '\n';
        return 1;
    }
    err << "Watching " << HotkeyKinds::label(monitor.kind) << " ("
        << (monitor.mode == HotkeyMode::hold ? "hold" : "tap to toggle") << "). Press Enter to stop.\n";
    err.flush();

    QEventLoop loop;
    StopTrigger stop(seconds);
    QObject::connect(&stop, &StopTrigger::triggered, &loop, &QEventLoop::quit);
    loop.exec();
    return 0;
}

} // namespace kavo::cli
