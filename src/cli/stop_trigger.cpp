#include "stop_trigger.h"

#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace kavo::cli {

StopTrigger::StopTrigger(std::optional<double> seconds, QObject* parent)
    : QObject(parent)
    , m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_input, &QSocketNotifier::activated, this, &StopTrigger::readInput);
    connect(&m_signals, &TerminationSignals::received, this, &StopTrigger::fire);
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &StopTrigger::fire);
    if (seconds)
        m_limit.start(std::chrono::milliseconds(qint64(std::llround(*seconds * 1000))));
}

void StopTrigger::readInput()
{
    char buffer[256];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR)) {
        m_input.setEnabled(false);
        return;
    }
    if (count > 0 && std::find(buffer, buffer + count, '\n') != buffer + count)
        fire();
}

void StopTrigger::fire()
{
    if (std::exchange(m_fired, true))
        return;
    Q_EMIT triggered();
}

std::optional<double> parseSeconds(const QString& text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0)
        return std::nullopt;
    return seconds;
}

} // namespace kavo::cli
