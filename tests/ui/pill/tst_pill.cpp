#include "dictation/dictation_state.h"
#include "platform/x11/x11_floating_window.h"
#include "state/input_access.h"
#include "store/settings.h"
#include "support/data_folder.h"
#include "support/screenshot.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"
#include "ui/pill/pill_panel.h"
#include "ui/pill/pill_view.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QRasterWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

void qml_register_types_Kavo_Pill();

using namespace kavo;
using namespace std::chrono_literals;
using Kind = PillView::Kind;
using Phase = DictationState::Phase;
using test::row;

namespace {

// A window under the pill that counts the presses it gets.
class WindowBelow : public QRasterWindow
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// Makes the display look composited while it lives: a compositing manager owns the screen's _NET_WM_CM selection.
class CompositorSelection
{
public:
    explicit CompositorSelection(Display* display)
        : m_display(display)
        , m_owner(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0))
    {
        XSetSelectionOwner(display, XInternAtom(display, "_NET_WM_CM_S0", False), m_owner, CurrentTime);
        XSync(display, False);
    }
    ~CompositorSelection()
    {
        XDestroyWindow(m_display, m_owner);
        XSync(m_display, False);
    }
    CompositorSelection(const CompositorSelection&) = delete;
    CompositorSelection& operator=(const CompositorSelection&) = delete;

private:
    Display* m_display;
    Window m_owner;
};

QList<unsigned long> atomsOf(Display* display, unsigned long window, const char* property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    QList<unsigned long> atoms;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 64, False, AnyPropertyType, &type,
            &format, &count, &remaining, &data)
            == Success
        && data) {
        atoms = QList<unsigned long>(
            reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
        XFree(data);
    }
    return atoms;
}

} // namespace

class PillTest : public QObject
{
    Q_OBJECT

    Appearance m_appearance;
    Tokens m_tokens { m_appearance };
    QQmlEngine m_engine;
    Settings m_settings;
    DictationState m_dictation;
    InputAccess m_inputAccess { [] { return true; } };
    std::unique_ptr<X11FloatingWindowSystem> m_windowSystem;
    std::unique_ptr<PillView> m_view;
    std::unique_ptr<PillPanel> m_panel;
    std::optional<test::KeyboardLock> m_pointer;
    Display* m_display = nullptr;

    QQuickWindow& window() { return *m_panel->window(); }
    QPoint pillCentre() { return m_panel->pillFrame().center().toPoint(); }

    // Presses the left button at `at`, moves `dx` pixels to the right in single steps and lets go, as a user does.
    void press(QPoint at, int dx = 0)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        for (int step = 1; step <= dx; ++step)
            XTestFakeMotionEvent(m_display, -1, at.x() + step, at.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
        XSync(m_display, False);
        QTest::qWait(150);
    }

    // The extent of the pill window's shape on the X server.
    QRect boundingShape()
    {
        int count = 0;
        int ordering = 0;
        XRectangle* rectangles = XShapeGetRectangles(m_display, window().winId(), ShapeBounding, &count, &ordering);
        QRegion shape;
        for (int index = 0; index < count; ++index)
            shape += QRect(rectangles[index].x, rectangles[index].y, rectangles[index].width, rectangles[index].height);
        XFree(rectangles);
        return shape.boundingRect();
    }

    void setPhase(Phase phase, const std::optional<QString>& doneText = std::nullopt, const QString& message = {})
    {
        m_dictation.setMessage(message);
        m_dictation.setDoneText(doneText);
        m_dictation.setRecordingStarted(phase == Phase::recording ? QDateTime::currentDateTime() : QDateTime());
        m_dictation.setPhase(phase);
    }

private Q_SLOTS:
    void initTestCase()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::useTemporaryDataFolder();
        Typeface::registerFaces();
        Tokens::setInstance(&m_tokens);
        useSoftwareRendering();
        prepareQmlEngine(m_engine);
        qml_register_types_Kavo_Pill();
        m_pointer.emplace();
        QVERIFY(m_pointer->isLocked());
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
        m_inputAccess.check();

        m_windowSystem = X11FloatingWindowSystem::create();
        QVERIFY(m_windowSystem);
        m_view = std::make_unique<PillView>(m_dictation, m_settings, m_inputAccess);
        m_panel = std::make_unique<PillPanel>(*m_view, m_windowSystem.get());
        QQmlComponent component(&m_engine, QUrl(u"qrc:/qt/qml/Kavo/Pill/Pill.qml"_qs));
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
        std::unique_ptr<QObject> object(
            component.createWithInitialProperties({ { u"view"_qs, QVariant::fromValue(m_view.get()) },
                { u"panel"_qs, QVariant::fromValue(m_panel.get()) } }));
        m_panel->attach(std::unique_ptr<QQuickWindow>(qobject_cast<QQuickWindow*>(object.release())));
        m_panel->restorePosition(std::nullopt, std::nullopt);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }

    void cleanupTestCase()
    {
        m_panel.reset();
        if (m_display)
            XCloseDisplay(m_display);
    }

    void cleanup()
    {
        setPhase(Phase::idle);
        m_view->setReduceMotion(false);
        m_panel->show();
        m_panel->restorePosition(std::nullopt, std::nullopt);
    }

    // The window stays above the others, out of the task bar, pager and switcher, on every workspace, and never
    // takes the keyboard focus.
    void windowStaysAside()
    {
        const unsigned long id = window().winId();
        XWMHints* hints = XGetWMHints(m_display, id);
        QVERIFY(hints && (hints->flags & InputHint) && !hints->input);
        XFree(hints);
        const QList<unsigned long> states = atomsOf(m_display, id, "_NET_WM_STATE");
        for (const char* state : { "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER" })
            QVERIFY2(states.contains(XInternAtom(m_display, state, False)), state);
        QVERIFY(atomsOf(m_display, id, "_NET_WM_WINDOW_TYPE")
                    .contains(XInternAtom(m_display, "_NET_WM_WINDOW_TYPE_NOTIFICATION", False)));
        // Xlib hands 32-bit values out in longs, sign-extended.
        QCOMPARE(atomsOf(m_display, id, "_NET_WM_DESKTOP").value(0) & 0xFFFFFFFF, 0xFFFFFFFFul);
    }

    // The stored bottom-centre point places the pill; without one it sits 24 px above the bottom of the available
    // area (1280 × 800 here), centred; a point off every screen comes back inside the nearest one.
    void placement_data()
    {
        const double missing = qQNaN();
        test::columns<double, double, QPointF>({ "x", "y", "bottomCentre" });
        row("stored point", 300.0, 400.0, QPointF(300, 400));
        row("no stored point", missing, missing, QPointF(640, 776));
        row("no stored height", 300.0, missing, QPointF(640, 776));
        row("off the right and bottom", 5000.0, 5000.0, QPointF(1254, 800));
        row("off the left", -800.0, 400.0, QPointF(26, 400));
    }

    void placement()
    {
        const auto [x, y] = test::fetch<double, double>({ "x", "y" });
        const auto stored = [](double value) { return qIsNaN(value) ? std::nullopt : std::optional(value); };
        m_panel->restorePosition(stored(x), stored(y));
        const QRectF pill = m_panel->pillFrame();
        QCOMPARE(pill.size(), QSizeF(52, 52));
        QTEST(QPointF(pill.center().x(), pill.bottom()), "bottomCentre");
    }

    // Less than 3 px between press and release is a click; from 3 px the pill follows the pointer, reports where it
    // was put and starts nothing.
    void clickOrDrag_data()
    {
        test::columns<int, bool>({ "distance", "click" });
        row("still", 0, true);
        row("2 px", 2, true);
        row("3 px", 3, false);
        row("40 px", 40, false);
    }

    void clickOrDrag()
    {
        const auto [distance, click] = test::fetch<int, bool>({ "distance", "click" });
        QSignalSpy toggles(m_view.get(), &PillView::toggleRequested);
        QSignalSpy moves(m_panel.get(), &PillPanel::moved);
        const QRectF before = m_panel->pillFrame();
        press(pillCentre(), distance);
        QTRY_COMPARE(toggles.count() + moves.count(), 1);
        QCOMPARE(toggles.count(), int(click));
        const QRectF after = m_panel->pillFrame();
        QCOMPARE(after, before.translated(click ? 0 : distance, 0));
        if (!click)
            QCOMPARE(moves.constFirst().constFirst().toPointF(), QPointF(after.center().x(), after.bottom()));
    }

    // A press on the shadow reaches the window below; one on the pill does not, whether or not a compositor
    // blends the shadow.
    void shadowLetsClicksThrough_data()
    {
        test::columns<bool>({ "composited" });
        row("no compositor", false);
        row("compositor", true);
    }

    void shadowLetsClicksThrough()
    {
        const auto [composited] = test::fetch<bool>({ "composited" });
        std::optional<CompositorSelection> compositor;
        if (composited)
            compositor.emplace(m_display);
        m_panel->restorePosition(std::nullopt, std::nullopt);
        QCOMPARE(m_panel->isComposited(), composited);
        // Without a compositor the window is cut to the pill, so no black margin shows around it.
        const QRect pill = m_panel->pillFrame().toRect().translated(-window().position());
        QTRY_COMPARE(pill.contains(boundingShape()), !composited);

        WindowBelow below;
        below.setFlags(Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        below.setGeometry(window().geometry().adjusted(-10, -10, 10, 10));
        below.show();
        QVERIFY(QTest::qWaitForWindowExposed(&below));
        window().raise();
        QSignalSpy toggles(m_view.get(), &PillView::toggleRequested);
        press(window().geometry().topLeft() + QPoint(8, 30));
        press(QPoint(pillCentre().x(), window().geometry().bottom() - 8));
        QTRY_COMPARE(below.presses, 2);
        press(pillCentre());
        QTRY_COMPARE(toggles.count(), 1);
        QCOMPARE(below.presses, 2);
    }

    // Each kind shows its contents and tooltip, the width follows them, and Stop and Cancel work while listening.
    void kinds_data()
    {
        test::columns<Phase, QString, Kind, QString, QString>({ "phase", "extra", "kind", "label", "tooltip" });
        row("idle", Phase::idle, "", Kind::idle, "", "Click to record, or hold Control + Super");
        row("listening", Phase::recording, "", Kind::listening, "Listening", "");
        row("thinking", Phase::working, "", Kind::thinking, "Preparing audio…", "");
        row("done", Phase::idle, "Copied", Kind::done, "Copied", "");
        row("failed", Phase::failed, "The network is down. Check the connection.", Kind::failed, "The network is down",
            "The network is down. Check the connection.");
    }

    void kinds()
    {
        const auto [phase, extra, kind] = test::fetch<Phase, QString, Kind>({ "phase", "extra", "kind" });
        const CompositorSelection compositor(m_display);
        m_panel->restorePosition(std::nullopt, std::nullopt);
        m_dictation.setLevel(0.6);
        setPhase(phase, phase == Phase::idle && !extra.isEmpty() ? std::optional(extra) : std::nullopt,
            phase == Phase::failed ? extra : QString());
        QTEST(m_view->label(), "label");
        QTEST(m_view->tooltip(), "tooltip");
        QCOMPARE(m_view->kind(), kind);
        QTRY_COMPARE(m_panel->pillFrame().width() > 52, kind != Kind::idle);
        QTest::qWait(300); // the pill's width settles
        for (const auto theme : { ThemeMode::light, ThemeMode::dark }) {
            m_appearance.setTheme(theme);
            test::screenshot(window(),
                u"pill-%1-%2"_qs.arg(QString::fromLatin1(QTest::currentDataTag()),
                    theme == ThemeMode::light ? u"light"_qs : u"dark"_qs));
        }
        m_appearance.setTheme(ThemeMode::light);
        if (phase != Phase::recording)
            return;
        QSignalSpy submits(m_view.get(), &PillView::submitRequested);
        QSignalSpy cancels(m_view.get(), &PillView::cancelRequested);
        for (const char* button : { "stop", "cancel" }) {
            auto* item = window().findChild<QQuickItem*>(QString::fromLatin1(button));
            QVERIFY(item);
            press(item->mapToGlobal(QPointF(item->width() / 2, item->height() / 2)).toPoint());
        }
        QTRY_COMPARE(submits.count(), 1);
        QCOMPARE(cancels.count(), 1);
    }

    // An idle pill runs nothing; listening runs the wave's frames and the clock, and with reduced motion only the
    // clock while the bars stand at the level; a hidden pill runs nothing. A narrower pill narrows its window
    // only after the delay.
    void timersAndWidth()
    {
        QVERIFY(!m_view->isWaveRunning() && !m_view->isClockRunning());
        setPhase(Phase::recording);
        QVERIFY(m_view->isWaveRunning() && m_view->isClockRunning());
        // A wider pill widens its window at once, well before the narrowing delay.
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->panelWidth() > 200, 150);
        QSignalSpy frames(m_view.get(), &PillView::frameChanged);
        m_dictation.setLevel(0.6);
        QTRY_VERIFY(frames.count() >= 5);
        QCOMPARE(m_view->elapsed(), u"0:00"_qs);
        QTRY_COMPARE_WITH_TIMEOUT(m_view->elapsed(), u"0:01"_qs, 1500);

        m_view->setReduceMotion(true);
        QVERIFY(!m_view->isWaveRunning() && m_view->isClockRunning());
        m_dictation.setLevel(0.75);
        QCOMPARE(m_view->bars(), QList<qreal>(PillRules::barCount, 1.0));
        m_panel->hide();
        QVERIFY(!m_view->isWaveRunning() && !m_view->isClockRunning());
        m_panel->show();

        const double wide = m_panel->panelWidth();
        setPhase(Phase::idle);
        QVERIFY(!m_view->isWaveRunning() && !m_view->isClockRunning());
        QTest::qWait(100);
        QCOMPARE(m_panel->panelWidth(), wide);
        QTRY_COMPARE(m_panel->panelWidth(), 52.0);
    }
};

QTEST_MAIN(PillTest)
#include "tst_pill.moc"
