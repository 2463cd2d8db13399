#include "hotkey/injected_keys.h"
#include "platform/x11/x11_input_source.h"
#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"

#include <QHash>
#include <QProcess>
#include <QTest>

#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace kavo;
using namespace kavo::test;

namespace {

// The X server's key codes of the keys the tests press.
const QHash<QString, unsigned> keyCodes { { "Escape", 9 }, { "Control_L", 37 }, { "a", 38 }, { "Shift_L", 50 },
    { "z", 52 }, { "Super_L", 133 }, { "Super_R", 134 } };

} // namespace

class X11InputSourceTest : public QObject
{
    Q_OBJECT

    QByteArray m_display;
    QStringList m_events;
    std::optional<KeyboardLock> m_keyboard;
    X11InputSource m_source;

    // Types and clicks through XTest on a connection of its own, as the user's devices would, then presses Z.
    // Steps such as "Control_L+ button1- !a+ restart": a key or button name, then + for a press or - for a
    // release; a key marked ! is the application's own, announced before it is sent.
    void play(const QString& steps)
    {
        const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr), &XCloseDisplay);
        QVERIFY(display);
        for (QString step : QString(steps + " z+ z-").split(u' ', Qt::SkipEmptyParts)) {
            if (step == "restart") { // once the source has seen what came before
                XSync(display.get(), False);
                QTRY_VERIFY(!m_events.isEmpty());
                QVERIFY(m_source.start());
                continue;
            }
            const bool press = step.endsWith(u'+');
            step.chop(1);
            if (step.startsWith(u'!'))
                InjectedKeys::instance().announce(int(keyCodes.value(step.remove(0, 1))) - 8, press);
            if (step.startsWith(u"button"))
                XTestFakeButtonEvent(display.get(), step.mid(6).toUInt(), press, CurrentTime);
            else
                XTestFakeKeyEvent(display.get(), keyCodes.value(step), press, CurrentTime);
        }
        XSync(display.get(), False);
    }

private Q_SLOTS:
    void initTestCase()
    {
        useTemporaryDataFolder();
        m_display = qgetenv("DISPLAY");
        if (TestServices::available())
            QVERIFY(m_keyboard.emplace().isLocked());
        connect(&m_source, &InputEventSource::flagsChanged, this,
            [this](const FlagsEvent& e) { m_events << QString("flags %1 key %2").arg(e.flags, 0, 16).arg(e.keyCode); });
        connect(&m_source, &InputEventSource::pressed, this, [this](const PressEvent& e) {
            m_events << (e.type == PressEvent::Type::mouseDown ? QString("mouse") : QString("key %1").arg(e.keyCode));
        });
    }

    void init() { m_events.clear(); }
    void cleanup() { qputenv("DISPLAY", m_display); }

    void deliversEvents_data()
    {
        // Flags in hexadecimal: shift 20000, control 40000, command 100000, function 800000.
        columns<QString, QString>({ "played", "expected" });
        row("control, then left super", "Control_L+ Super_L+ Super_L- Control_L-",
            "flags 40000 key 1029, flags 840000 key 1125, flags 40000 key 1125, flags 0 key 1029");
        row("right super is command", "Super_R+ Super_R-", "flags 100000 key 54, flags 0 key 54");
        row("escape and letters go down, once", "Escape+ Escape+ Escape- Shift_L+ a+ a- Shift_L-",
            "key 53, flags 20000 key 1042, key 1030, flags 0 key 1042");
        row("left and right clicks, not middle clicks or scroll wheels",
            "button1+ button1- button2+ button2- button3+ button3- button4+ button4- button7+ button7-",
            "mouse, mouse");
        row("the application's own keys", "!Control_L+ a+ a- !Control_L-", "key 1030");
        // Control went down before the restart, so its release is not a change the source saw.
        row("restart forgets held keys", "Control_L+ restart Control_L-", "flags 40000 key 1029");
    }

    void deliversEvents()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [played, expected] = test::fetch<QString, QString>({ "played", "expected" });
        QVERIFY2(m_source.start(), qPrintable(m_source.problem()));
        play(played);
        QTRY_VERIFY(m_events.contains("key 1044")); // Z, pressed last: everything before it is there
        QCOMPARE(m_events.join(", "), expected + ", key 1044");
        QVERIFY(m_source.problem().isEmpty());
    }

    void explainsWhyItCannotStart_data()
    {
        columns<QStringList, QString, QString>({ "serverOptions", "display", "problem" });
        row("no display set", QStringList(), "", "no X display is set");
        row("no server on the display", QStringList(), ":4093", "X display :4093 cannot be opened");
        row("a server without XTEST", QStringList { "-extension", "XTEST" }, "", "lacks the XTEST extension");
    }

    void explainsWhyItCannotStart()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        auto [serverOptions, display, problem]
            = test::fetch<QStringList, QString, QString>({ "serverOptions", "display", "problem" });
        QProcess server; // an X server of the test's own, which tells its display number on standard output
        if (!serverOptions.isEmpty()) {
            server.start("Xvfb", QStringList { "-displayfd", "1", "-nolisten", "tcp" } + serverOptions);
            while (!server.canReadLine() && server.waitForReadyRead(10'000)) { }
            QVERIFY(server.canReadLine());
            display = ':' + server.readLine().trimmed();
        }
        qputenv("DISPLAY", display.toLocal8Bit());
        QVERIFY(!m_source.start());
        QVERIFY2(m_source.problem().contains(problem), qPrintable(m_source.problem()));
        server.kill();
        server.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(X11InputSourceTest)
#include "tst_x11_input_source.moc"
