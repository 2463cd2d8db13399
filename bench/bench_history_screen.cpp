#include "bench_support.h"

#include "dictation/dictation_state.h"
#include "state/toasts.h"
#include "store/history_manager.h"
#include "store/settings.h"
#include "ui/history/history_model.h"
#include "ui/history/history_view.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <benchmark/benchmark.h>

void qml_register_types_Kavo_History();

using namespace kavo;

namespace {

// The History screen at its limit of 1000 entries in a window the size of the main window's screen area.
class HistoryScreen
{
public:
    HistoryScreen()
    {
        bench::useTemporaryDataFolder();
        bench::fullHistory().save();
        m_history.load();
        Typeface::registerFaces();
        Tokens::setInstance(&m_tokens);
        prepareQmlEngine(m_engine);
        qml_register_types_Kavo_History();
        m_window.resize(776, 680);
        m_window.show();
        while (!m_window.isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        nextFrame();
    }

    HistoryView& view() { return m_view; }

    /// Builds the screen as the main window does when it is first shown.
    bool open()
    {
        QQmlComponent component(&m_engine, QUrl(QStringLiteral("qrc:/qt/qml/Kavo/History/HistoryScreen.qml")));
        m_screen.reset(qobject_cast<QQuickItem*>(
            component.createWithInitialProperties({ { QStringLiteral("view"), QVariant::fromValue(&m_view) } })));
        if (!m_screen)
            return false;
        m_screen->setSize(m_window.size());
        m_screen->setParentItem(m_window.contentItem());
        return true;
    }

    void close()
    {
        m_screen.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        nextFrame();
    }

    /// Waits until the window has drawn what changed; false when no frame came within a second.
    bool nextFrame()
    {
        QEventLoop loop;
        bool drawn = false;
        QObject::connect(&m_window, &QQuickWindow::frameSwapped, &loop, [&] {
            drawn = true;
            loop.quit();
        });
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        m_window.update();
        loop.exec();
        return drawn;
    }

private:
    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    HistoryManager m_history;
    DictationState m_dictation;
    Settings m_settings;
    Toasts m_toasts;
    HistoryView m_view { m_history, m_dictation, m_settings, m_toasts };
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_screen;
};

// Made by main() once the application object exists, and gone before it.
HistoryScreen* shared = nullptr;

HistoryScreen& screen()
{
    return *shared;
}

// From asking for the screen to its first frame: the QML built, the visible cards laid out and drawn.
void openHistoryScreen(benchmark::State& state)
{
    HistoryScreen& history = screen();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!history.open() || !history.nextFrame())
            state.SkipWithError("the screen did not show");
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        history.close();
    }
    state.counters["entries"] = double(history.view().entries()->rowCount());
}
BENCHMARK(openHistoryScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

// From a search word to the filtered list drawn, and back to the whole list; the filtering alone is counted apart.
void searchHistoryScreen(benchmark::State& state)
{
    HistoryScreen& history = screen();
    if (!history.open()) {
        state.SkipWithError("the screen did not show");
        return;
    }
    history.nextFrame();
    const QStringList searches { QStringLiteral("hisobot tayyor"), QString() };
    qint64 filtering = 0;
    int matches = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& search : searches) {
            QElapsedTimer filter;
            filter.start();
            history.view().setSearch(search);
            filtering += filter.nsecsElapsed();
            if (!search.isEmpty())
                matches = history.view().entries()->rowCount();
            if (!history.nextFrame())
                state.SkipWithError("the list was not drawn");
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9 / double(searches.size()));
    }
    state.counters["filter ms"] = double(filtering) / 1e6 / double(state.iterations() * searches.size());
    state.counters["matches"] = matches;
    history.close();
}
BENCHMARK(searchHistoryScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Frames are timed as drawn, not as the display's refresh allows them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QSG_RENDER_LOOP", "basic");
    useSoftwareRendering();
    QGuiApplication app(argc, argv);
    HistoryScreen history;
    shared = &history;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
