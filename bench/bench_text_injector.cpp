#include "bench_support.h"

#include "delivery/text_injector.h"
#include "platform/x11/x11_injection_backend.h"
#include "support/text_target.h"

#include <QEventLoop>
#include <QTimer>

#include <QCoroTask>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace kavo;
using Clock = std::chrono::steady_clock;

namespace {

// A 200-character dictation in the mix the application sees: Uzbek Latin with its okina, Russian and English.
QString transcript()
{
    const QString text = QStringLiteral(
        "Assalomu alaykum, bugungi yigʻilishda uchta masalani koʻrib chiqamiz. Во-первых, бюджет на следующий "
        "квартал. Secondly, the release date moved to Friday. Iltimos, savollaringizni oldindan yuboring! Rahmat!");
    return text.left(200);
}

void waitOnEventLoop(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

// Time from `insert` to the whole transcript being in a Qt text field, read back through the field's own process.
void insertIntoQtField(benchmark::State& state, InsertMethod method)
{
    if (qEnvironmentVariableIsEmpty("KAVO_TEST_SERVICES")) {
        state.SkipWithError("needs the private X display of scripts/test-services");
        return;
    }
    bench::useTemporaryDataFolder();
    test::TextTarget field(QStringLiteral(KAVO_TEXT_TARGET));
    if (const QString problem = field.start(); !problem.isEmpty() || !field.focus()) {
        state.SkipWithError("the text target did not start");
        return;
    }
    TextInjector injector(X11InjectionBackend::create());
    const QString text = transcript();
    for (auto _ : state) {
        field.clear();
        const auto started = Clock::now();
        QCoro::waitFor(injector.insert(text, method, NewlineMode::shiftReturn));
        if (field.waitForText(text) != text) {
            state.SkipWithError("the transcript did not arrive intact");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        // Let the clipboard and the keyboard map be restored before the next round.
        waitOnEventLoop(std::chrono::milliseconds(800));
    }
}
BENCHMARK_CAPTURE(insertIntoQtField, paste, InsertMethod::paste)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(insertIntoQtField, type, InsertMethod::type)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithQtApplication(argc, argv);
}
