#include "input/hotkey_monitor.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/test_services.h"

#include <QElapsedTimer>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace kavo;

namespace {

// A scripted user: "ms action" steps such as "0 +ctrl", "200 -fn", "300 A", "400 click", "500 esc".
struct Step
{
    int at;
    QString action;
};

QList<Step> parse(const QString& script)
{
    QList<Step> steps;
    for (const QString& step : script.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = step.trimmed().split(u' ');
        steps.append({ parts[0].toInt(), parts[1] });
    }
    return steps;
}

// Modifiers by name: their flag and the key code that reports them.
std::pair<quint32, int> modifier(const QString& name)
{
    if (name == QLatin1String("ctrl"))
        return { ModifierFlag::control, 59 };
    if (name == QLatin1String("shift"))
        return { ModifierFlag::shift, 56 };
    if (name == QLatin1String("alt"))
        return { ModifierFlag::option, 58 };
    if (name == QLatin1String("fn"))
        return { ModifierFlag::function, 63 };
    if (name == QLatin1String("rcmd"))
        return { ModifierFlag::command, HotkeyKeyCode::rightCommand };
    return { ModifierFlag::command, 55 }; // lcmd
}

class FakeSource : public InputEventSource
{
public:
    explicit FakeSource(bool readable)
        : m_readable(readable)
    { }
    bool start() override { return m_readable; }
    void stop() override { }
    QString problem() const override { return m_readable ? QString() : QStringLiteral("no keyboard"); }

private:
    bool m_readable;
};

} // namespace

class HotkeyMonitorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void scriptedInput_data()
    {
        QTest::addColumn<HotkeyMode>("mode");
        QTest::addColumn<HotkeyKind>("kind");
        QTest::addColumn<bool>("externalRecording");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("callbacks");

        const auto hold = HotkeyMode::hold;
        const auto toggle = HotkeyMode::toggle;
        QTest::newRow("released before the threshold")
            << hold << HotkeyKind::controlFn << false << "0 +ctrl, 0 +fn, 200 -fn"
            << "";
        QTest::newRow("held past the threshold") << hold << HotkeyKind::controlFn << false << "0 +ctrl, 0 +fn, 500 -fn"
                                                 << "start stop";
        QTest::newRow("shortcut never starts") << hold << HotkeyKind::control << false << "0 +ctrl, 100 A, 500 -ctrl"
                                               << "";
        QTest::newRow("click ignored, key cancels, release silent")
            << hold << HotkeyKind::control << false << "0 +ctrl, 400 click, 450 A, 500 -ctrl"
            << "start cancel";
        QTest::newRow("extra modifier counts as release")
            << hold << HotkeyKind::control << false << "0 +ctrl, 400 +shift, 450 -shift, 500 -ctrl"
            << "start stop";
        QTest::newRow("left command does not arm right command")
            << hold << HotkeyKind::rightCommand << false << "0 +lcmd, 500 -lcmd"
            << "";
        QTest::newRow("right command") << hold << HotkeyKind::rightCommand << false << "0 +rcmd, 500 -rcmd"
                                       << "start stop";
        QTest::newRow("fn with control never arms fn")
            << hold << HotkeyKind::fn << false << "0 +ctrl, 0 +fn, 500 -fn, 500 -ctrl"
            << "";
        QTest::newRow("function ignored by control")
            << hold << HotkeyKind::control << false << "0 +fn, 0 +ctrl, 500 -ctrl"
            << "start stop";
        QTest::newRow("escape while recording")
            << hold << HotkeyKind::controlOption << false << "0 +ctrl, 0 +alt, 400 esc, 500 -alt"
            << "start cancel";
        QTest::newRow("escape with nothing running") << hold << HotkeyKind::control << false << "0 esc"
                                                     << "";
        QTest::newRow("clean tap") << toggle << HotkeyKind::control << false << "0 +ctrl, 300 -ctrl"
                                   << "toggle";
        QTest::newRow("press too long") << toggle << HotkeyKind::control << false << "0 +ctrl, 900 -ctrl"
                                        << "";
        QTest::newRow("tap spoiled by shift")
            << toggle << HotkeyKind::control << false << "0 +ctrl, 100 +shift, 200 -shift, 300 -ctrl"
            << "";
        QTest::newRow("tap spoiled by a key") << toggle << HotkeyKind::control << false << "0 +ctrl, 100 A, 300 -ctrl"
                                              << "";
        QTest::newRow("tap spoiled by a click")
            << toggle << HotkeyKind::control << false << "0 +ctrl, 100 click, 300 -ctrl"
            << "";
        QTest::newRow("escape cancels an outside recording") << toggle << HotkeyKind::control << true << "0 esc"
                                                             << "cancel";
    }

    void scriptedInput()
    {
        QFETCH(HotkeyMode, mode);
        QFETCH(HotkeyKind, kind);
        QFETCH(bool, externalRecording);
        QFETCH(QString, script);
        QFETCH(QString, callbacks);

        HotkeyMonitor monitor([] { return std::make_unique<FakeSource>(true); });
        monitor.mode = mode;
        monitor.kind = kind;
        monitor.externalRecording = externalRecording;
        QStringList called;
        QElapsedTimer clock;
        qint64 startedAt = -1;
        monitor.onStart = [&] {
            called << QStringLiteral("start");
            startedAt = clock.elapsed();
        };
        monitor.onStop = [&] { called << QStringLiteral("stop"); };
        monitor.onCancel = [&] { called << QStringLiteral("cancel"); };
        monitor.onToggle = [&] { called << QStringLiteral("toggle"); };

        quint32 flags = 0;
        clock.start();
        for (const Step& step : parse(script)) {
            QTest::qWait(int(std::max<qint64>(0, step.at - clock.elapsed())));
            if (step.action.startsWith(u'+') || step.action.startsWith(u'-')) {
                const auto [flag, keyCode] = modifier(step.action.mid(1));
                flags = step.action.startsWith(u'+') ? flags | flag : flags & ~flag;
                monitor.handleFlags({ flags, keyCode });
            } else if (step.action == QLatin1String("click")) {
                monitor.handleOtherKey({ PressEvent::Type::mouseDown, 0 });
            } else {
                const int keyCode
                    = step.action == QLatin1String("esc") ? HotkeyKeyCode::escape : HotkeyKeyCode::otherKeyBase + 30;
                monitor.handleOtherKey({ PressEvent::Type::keyDown, keyCode });
            }
        }
        QTest::qWait(100);
        QCOMPARE(called.join(u' '), callbacks);
        if (startedAt >= 0)
            QVERIFY2(startedAt >= 300, qPrintable(QString::number(startedAt)));
    }

    // The whole path on a real X server: keys pressed by another client reach the callbacks, in order and on time.
    void holdOnTheXServer()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const test::KeyboardLock keyboard;
        QVERIFY(keyboard.isLocked());
        HotkeyMonitor monitor;
        QStringList called;
        QElapsedTimer clock;
        monitor.onStart = [&] { called << QStringLiteral("start %1").arg(clock.elapsed() >= 300); };
        monitor.onStop = [&] { called << QStringLiteral("stop"); };
        monitor.start();
        QVERIFY(monitor.hasInputAccess());

        Display* display = XOpenDisplay(nullptr);
        QVERIFY(display);
        const auto key = [display](const char* name, bool press) {
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(name)), press, CurrentTime);
            XFlush(display);
        };
        key("Control_L", true);
        clock.start();
        key("Super_L", true);
        QTest::qWait(500);
        key("Super_L", false);
        key("Super_L", false); // a second release changes nothing
        key("Control_L", false);
        QTRY_COMPARE(called, (QStringList { "start 1", "stop" }));
        XCloseDisplay(display);
    }

    void choosesTheSessionSource_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<SessionInputSource::Session>("session");
        QTest::newRow("x11") << QStringList { "XDG_SESSION_TYPE=x11", "WAYLAND_DISPLAY=wayland-0" }
                             << SessionInputSource::Session::x11;
        QTest::newRow("wayland") << QStringList { "XDG_SESSION_TYPE=wayland", "DISPLAY=:0" }
                                 << SessionInputSource::Session::wayland;
        QTest::newRow("wayland by display")
            << QStringList { "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0" } << SessionInputSource::Session::wayland;
        QTest::newRow("x11 by display") << QStringList { "DISPLAY=:0" } << SessionInputSource::Session::x11;
        QTest::newRow("console") << QStringList { "XDG_SESSION_TYPE=tty" } << SessionInputSource::Session::none;
    }

    void choosesTheSessionSource()
    {
        QFETCH(QStringList, variables);
        QFETCH(SessionInputSource::Session, session);
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        QCOMPARE(SessionInputSource::session(environment), session);
    }

    void startReportsInputAccess_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QStringList>("logLines");
        QTest::newRow("readable") << true
                                  << QStringList { "hotkey monitor starting, kind=fn accessibility=true",
                                         "hotkey tapped, toggling" };
        QTest::newRow("unreadable") << false
                                    << QStringList { "hotkey monitor starting, kind=fn accessibility=false",
                                           "global flagsChanged monitor could not be installed",
                                           "hotkey tapped, toggling" };
    }

    void startReportsInputAccess()
    {
        QFETCH(bool, readable);
        QFETCH(QStringList, logLines);
        Log::reset();
        FakeSource* source = nullptr;
        HotkeyMonitor monitor([&] {
            auto made = std::make_unique<FakeSource>(readable);
            source = made.get();
            return made;
        });
        monitor.kind = HotkeyKind::fn;
        monitor.mode = HotkeyMode::toggle;
        int toggles = 0;
        monitor.onToggle = [&] { ++toggles; };
        monitor.start();
        QCOMPARE(monitor.hasInputAccess(), readable);
        QCOMPARE(monitor.inputProblem().isEmpty(), readable);

        // The source's events reach the logic.
        source->onFlags({ ModifierFlag::function, 63 });
        source->onFlags({ 0, 63 });
        QCOMPARE(toggles, 1);

        Log::flush();
        QStringList lines = QString::fromUtf8(test::readFile(Log::fileURL())).split(u'\n', Qt::SkipEmptyParts);
        for (QString& line : lines)
            line = line.section(u' ', 1);
        QCOMPARE(lines, logLines);
    }
};

QTEST_GUILESS_MAIN(HotkeyMonitorTest)
#include "tst_hotkey_monitor.moc"
