#include "bench_support.h"

#include "platform/x11/x11_input_source.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace kavo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr unsigned controlKeyCode = 37;
constexpr int keyChanges = 200;

bool hasDisplay(benchmark::State& state)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return true;
    state.SkipWithError("needs an X display: run it under scripts/test-services");
    return false;
}

// From the moment another client's XTest key event leaves for the server to the source's flags callback; the key
// goes down and up in turn.
void keyToFlagsLatency(benchmark::State& state)
{
    if (!hasDisplay(state))
        return;
    Display* typist = XOpenDisplay(nullptr);
    X11InputSource source;
    if (!typist || !source.start()) {
        state.SkipWithError(typist ? qPrintable(source.problem()) : "the display cannot be opened");
        if (typist)
            XCloseDisplay(typist);
        return;
    }
    QEventLoop loop;
    Clock::time_point arrived;
    QObject::connect(&source, &InputEventSource::flagsChanged, [&] {
        arrived = Clock::now();
        loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] { loop.exit(1); });

    std::vector<double> delays;
    for (auto _ : state) {
        delays.clear();
        for (int change = 0; change < keyChanges; ++change) {
            const auto sent = Clock::now();
            XTestFakeKeyEvent(typist, controlKeyCode, change % 2 == 0, CurrentTime);
            XFlush(typist);
            timeout.start(2s);
            if (loop.exec() != 0) {
                state.SkipWithError("a key change never arrived");
                break;
            }
            delays.push_back(std::chrono::duration<double, std::milli>(arrived - sent).count());
        }
    }
    XCloseDisplay(typist);
    if (delays.size() != std::size_t(keyChanges))
        return;
    std::sort(delays.begin(), delays.end());
    state.counters["median ms"] = (delays[keyChanges / 2 - 1] + delays[keyChanges / 2]) / 2;
    state.counters["p95 ms"] = delays[keyChanges * 95 / 100];
}
BENCHMARK(keyToFlagsLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

// Voluntary context switches of the whole process per second while the event loop runs with nothing to do.
double idleContextSwitchesPerSecond()
{
    constexpr auto span = 3s;
    rusage before {};
    getrusage(RUSAGE_SELF, &before);
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
    rusage after {};
    getrusage(RUSAGE_SELF, &after);
    return double(after.ru_nvcsw - before.ru_nvcsw) / std::chrono::duration<double>(span).count();
}

// What the source costs while no key is pressed: the same idle loop without and with it.
void idleWakeUps(benchmark::State& state)
{
    if (!hasDisplay(state))
        return;
    double without = 0, with = 0;
    for (auto _ : state) {
        without = idleContextSwitchesPerSecond();
        X11InputSource source;
        if (!source.start()) {
            state.SkipWithError(qPrintable(source.problem()));
            return;
        }
        with = idleContextSwitchesPerSecond();
    }
    state.counters["without source /s"] = without;
    state.counters["with source /s"] = with;
    state.counters["caused by source /s"] = with - without;
}
BENCHMARK(idleWakeUps)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return kavo::bench::runWithQtApplication(argc, argv);
}
