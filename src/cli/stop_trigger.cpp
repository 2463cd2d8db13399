#include "stop_trigger.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kavo::cli {

namespace {

// The self-pipe a signal handler may write to; the read end wakes the event loop.
std::array<int, 2> signalPipe { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

int openSignalPipe()
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return signalPipe[0];
}

} // namespace

StopTrigger::StopTrigger(std::optional<double> seconds, QObject* parent)
    : QObject(parent)
    , m_input(STDIN_FILENO, QSocketNotifier::Read)
    , m_signal(openSignalPipe(), QSocketNotifier::Read)
{
    connect(&m_input, &QSocketNotifier::activated, this, &StopTrigger::readInput);
    connect(&m_signal, &QSocketNotifier::activated, this, &StopTrigger::fire);
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &StopTrigger::fire);
    if (seconds)
        m_limit.start(std::chrono::milliseconds(qint64(std::llround(*seconds * 1000))));
}

StopTrigger::~StopTrigger()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
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
    char drained[64];
    while (::read(signalPipe[0], drained, sizeof drained) > 0) { }
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
