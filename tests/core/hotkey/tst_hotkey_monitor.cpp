#include "hotkey/hotkey_monitor.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using test::columns;
using test::row;

namespace {

// Modifiers by name: their flag and the key code that reports them.
const QHash<QString, std::pair<quint32, int>> modifiers { { "ctrl", { ModifierFlag::control, 59 } },
    { "shift", { ModifierFlag::shift, 56 } }, { "alt", { ModifierFlag::alt, 58 } },
    { "fn", { ModifierFlag::super, 63 } }, { "rcmd", { ModifierFlag::rightSuper, HotkeyKeyCode::rightSuper } },
    { "lcmd", { ModifierFlag::rightSuper, 55 } } };

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
        // A scripted user: "ms action" steps such as "0 +ctrl", "200 -fn", "300 A", "400 click", "500 esc"; the
        // action "outside" tells the monitor that a dictation it did not start is running.
        columns<HotkeyMode, HotkeyKind, QString, QString>({ "mode", "kind", "script", "callbacks" });
        const auto hold = HotkeyMode::hold, toggle = HotkeyMode::toggle;
        const auto control = HotkeyKind::control;
        row("released before the threshold", hold, HotkeyKind::controlSuper, "0 +ctrl, 150 +fn, 400 -fn", "");
        row("held past the threshold", hold, HotkeyKind::controlSuper, "0 +ctrl, 0 +fn, 500 -fn", "start stop");
        row("shortcut never starts", hold, control, "0 +ctrl, 100 A, 500 -ctrl", "");
        row("click ignored while recording", hold, control, "0 +ctrl, 400 click, 500 -ctrl", "start stop");
        row("key cancels, release silent", hold, control, "0 +ctrl, 400 A, 500 -ctrl", "start cancel");
        row("extra modifier counts as release", hold, control, "0 +ctrl, 400 +shift, 450 -shift, 500 -ctrl",
            "start stop");
        row("left command does not arm right command", hold, HotkeyKind::rightSuper, "0 +lcmd, 500 -lcmd", "");
        row("right command", hold, HotkeyKind::rightSuper, "0 +rcmd, 500 -rcmd", "start stop");
        row("fn with control never arms fn", hold, HotkeyKind::super, "0 +ctrl, 0 +fn, 500 -fn, 500 -ctrl", "");
        row("function ignored by control", hold, control, "0 +fn, 0 +ctrl, 500 -ctrl", "start stop");
        row("escape while recording", hold, HotkeyKind::controlAlt, "0 +ctrl, 0 +alt, 400 esc, 500 -alt",
            "start cancel");
        row("escape with nothing running", hold, control, "0 esc", "");
        row("clean tap", toggle, control, "0 +ctrl, 300 -ctrl", "toggle");
        row("press too long", toggle, control, "0 +ctrl, 900 -ctrl", "");
        row("tap spoiled by shift", toggle, control, "0 +ctrl, 100 +shift, 200 -shift, 300 -ctrl", "");
        row("tap spoiled by a key", toggle, control, "0 +ctrl, 100 A, 300 -ctrl", "");
        row("escape cancels an outside recording", toggle, control, "0 outside, 0 esc", "cancel");
    }

    void scriptedInput()
    {
        const auto [mode, kind, script] = test::fetch<HotkeyMode, HotkeyKind, QString>({ "mode", "kind", "script" });
        HotkeyMonitor monitor([] { return std::make_unique<FakeSource>(true); });
        std::tie(monitor.mode, monitor.kind) = std::tie(mode, kind);
        QStringList called;
        QElapsedTimer clock;
        connect(&monitor, &HotkeyMonitor::startRequested,
            [&] { called << (clock.elapsed() >= 300 ? "start" : "start before the threshold"); });
        connect(&monitor, &HotkeyMonitor::stopRequested, [&] { called << "stop"; });
        connect(&monitor, &HotkeyMonitor::cancelRequested, [&] { called << "cancel"; });
        connect(&monitor, &HotkeyMonitor::toggleRequested, [&] { called << "toggle"; });

        quint32 flags = 0;
        clock.start();
        for (const QString& step : script.split(u',', Qt::SkipEmptyParts)) {
            const QString action = step.trimmed().section(u' ', 1);
            QTest::qWait(int(std::max<qint64>(0, step.trimmed().section(u' ', 0, 0).toInt() - clock.elapsed())));
            if (action.startsWith(u'+') || action.startsWith(u'-')) {
                const auto [flag, keyCode] = modifiers.value(action.mid(1));
                flags = action.startsWith(u'+') ? flags | flag : flags & ~flag;
                monitor.handleFlags({ flags, keyCode });
            } else if (action == "outside") {
                monitor.setExternalRecording(true);
            } else {
                const bool key = action != "click";
                const int keyCode = action == "esc" ? HotkeyKeyCode::escape : HotkeyKeyCode::otherKeyBase + 30;
                monitor.handleOtherKey({ key ? PressEvent::Type::keyDown : PressEvent::Type::mouseDown, keyCode });
            }
        }
        QTest::qWait(100);
        QTEST(called.join(u' '), "callbacks");
    }

    void startReportsInputAccess_data()
    {
        columns<bool, QString>({ "readable", "logLines" });
        row("readable", true, "hotkey monitor starting, kind=fn accessibility=true|hotkey tapped, toggling");
        row("unreadable", false,
            "hotkey monitor starting, kind=fn accessibility=false|global flagsChanged monitor could not be installed|"
            "hotkey tapped, toggling");
    }

    void startReportsInputAccess()
    {
        QFETCH(bool, readable);
        Log::reset();
        FakeSource* source = nullptr;
        HotkeyMonitor monitor([&] { return std::unique_ptr<FakeSource>(source = new FakeSource(readable)); });
        monitor.kind = HotkeyKind::super;
        monitor.mode = HotkeyMode::toggle;
        int toggles = 0;
        connect(&monitor, &HotkeyMonitor::toggleRequested, [&] { ++toggles; });
        monitor.start();
        QCOMPARE(monitor.hasInputAccess(), readable);
        QCOMPARE(monitor.inputProblem().isEmpty(), readable);

        // The source's events reach the logic.
        Q_EMIT source->flagsChanged({ ModifierFlag::super, 63 });
        Q_EMIT source->flagsChanged({ 0, 63 });
        QCOMPARE(toggles, 1);

        QTEST(test::logText().replace(u'\n', u'|').chopped(1), "logLines");
    }
};

QTEST_GUILESS_MAIN(HotkeyMonitorTest)
#include "tst_hotkey_monitor.moc"
