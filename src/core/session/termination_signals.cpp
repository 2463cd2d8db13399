#include "termination_signals.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kavo {

namespace {

// The self-pipe the signal handler writes to; its read end wakes the event loop. A handler may do little more.
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

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
    , m_notifier(openSignalPipe(), QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);
}

TerminationSignals::~TerminationSignals()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
}

void TerminationSignals::drain()
{
    char drained[64];
    while (::read(signalPipe[0], drained, sizeof drained) > 0) { }
    Q_EMIT received();
}

} // namespace kavo
