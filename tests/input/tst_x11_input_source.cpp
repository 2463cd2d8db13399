#include "input/injected_keys.h"
#include "input/x11_input_source.h"
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

// Every played sequence ends with Z, so once its press arrives everything before it has.
const QString endMark = QStringLiteral("key 1044");

// Steps such as "Control_L+ button1- a+": a key or button name, then + for a press or - for a release.
template <typename Action> void forEachStep(const QString& steps, Action action)
{
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts))
        action(step.chopped(1), step.endsWith(u'+'));
}

void announce(const QString& steps)
{
    forEachStep(steps,
        [](const QString& key, bool press) { InjectedKeys::instance().announce(int(keyCodes.value(key)) - 8, press); });
}

// Types and clicks through XTest on a connection of its own, as the user's devices would.
void play(Display* display, const QString& steps)
{
    forEachStep(steps, [display](const QString& name, bool press) {
        if (name.startsWith(u"button"))
            XTestFakeButtonEvent(display, name.mid(6).toUInt(), press, CurrentTime);
        else
            XTestFakeKeyEvent(display, keyCodes.value(name), press, CurrentTime);
    });
    XFlush(display);
}

using DisplayPtr = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

DisplayPtr openDisplay()
{
    return DisplayPtr(XOpenDisplay(nullptr), &XCloseDisplay);
}

// Starts an X server of the test's own; its display name, or nothing when it does not come up.
QByteArray startXServer(QProcess& server, const QStringList& options)
{
    server.start(QStringLiteral("Xvfb"), QStringList { "-displayfd", "1", "-nolisten", "tcp" } + options);
    while (!server.canReadLine() && server.waitForReadyRead(10'000)) { }
    return server.canReadLine() ? ':' + server.readLine().trimmed() : QByteArray();
}

} // namespace

class X11InputSourceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        useTemporaryDataFolder();
        m_display = qgetenv("DISPLAY");
        if (TestServices::available())
            QVERIFY(m_keyboard.emplace().isLocked());
    }

    void init() { m_events.clear(); }
    void cleanup() { qputenv("DISPLAY", m_display); }

    void deliversEvents_data()
    {
        // Flags in hexadecimal: shift 20000, control 40000, command 100000, function 800000.
        columns<QString, QString, QStringList>({ "announced", "played", "expected" });
        row("control, then left super", QString(), QString("Control_L+ Super_L+ Super_L- Control_L-"),
            QStringList {
                "flags 40000 key 1029", "flags 840000 key 1125", "flags 40000 key 1125", "flags 0 key 1029" });
        row("right super is command", QString(), QString("Super_R+ Super_R-"),
            QStringList { "flags 100000 key 54", "flags 0 key 54" });
        row("escape and a letter go down", QString(), QString("Escape+ Escape- a+ a-"),
            QStringList { "key 53", "key 1030" });
        row("a letter under shift", QString(), QString("Shift_L+ a+ a- Shift_L-"),
            QStringList { "flags 20000 key 1042", "key 1030", "flags 0 key 1042" });
        row("left, middle and right buttons", QString(),
            QString("button1+ button1- button2+ button2- button3+ button3-"),
            QStringList { "mouse", "mouse", "mouse" });
        row("scroll wheels", QString(),
            QString("button4+ button4- button5+ button5- button6+ button6- button7+ button7-"), QStringList());
        row("a key pressed again while down", QString(), QString("Escape+ Escape+ Escape+ Escape-"),
            QStringList { "key 53" });
        row("release of a key that is up", QString(), QString("Control_L+ Control_L- Control_L-"),
            QStringList { "flags 40000 key 1029", "flags 0 key 1029" });
        row("the application's own keys", QString("Control_L+ Control_L-"), QString("Control_L+ a+ a- Control_L-"),
            QStringList { "key 1030" });
        row("an announcement covers one event", QString("Escape+"), QString("Escape+ Escape- Escape+ Escape-"),
            QStringList { "key 53" });
    }

    void deliversEvents()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QString, announced);
        QFETCH(QString, played);
        QFETCH(QStringList, expected);
        const DisplayPtr devices = openDisplay();
        QVERIFY(devices);
        X11InputSource source;
        listen(source);
        QVERIFY2(source.start(), qPrintable(source.problem()));

        announce(announced);
        play(devices.get(), played + " z+ z-");
        QTRY_VERIFY(m_events.contains(endMark));
        QCOMPARE(m_events, expected << endMark);
    }

    void restartsCleanly()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const DisplayPtr devices = openDisplay();
        X11InputSource source;
        listen(source);
        QVERIFY(source.start());
        play(devices.get(), "Control_L+");
        QTRY_COMPARE(m_events, QStringList { "flags 40000 key 1029" });
        QVERIFY(source.start());
        source.stop();
        source.stop();
        QVERIFY(source.start());
        QVERIFY(source.problem().isEmpty());

        // Control went down before the restart, so its release is not a change the source saw.
        play(devices.get(), "Control_L- z+ z-");
        QTRY_VERIFY(m_events.contains(endMark));
        QCOMPARE(m_events, QStringList({ "flags 40000 key 1029", endMark }));
    }

    void explainsWhyItCannotStart_data()
    {
        columns<QStringList, QString, QString>({ "serverOptions", "display", "problem" });
        row("no display set", QStringList(), QString(), QString("no X display is set"));
        row("no server on the display", QStringList(), QString(":4093"), QString("X display :4093 cannot be opened"));
        row("a server without XTEST", QStringList { "-extension", "XTEST" }, QString(),
            QString("lacks the XTEST extension"));
    }

    void explainsWhyItCannotStart()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QStringList, serverOptions);
        QFETCH(QString, display);
        QFETCH(QString, problem);
        QProcess server;
        if (!serverOptions.isEmpty()) {
            display = startXServer(server, serverOptions);
            QVERIFY(!display.isEmpty());
        }
        qputenv("DISPLAY", display.toLocal8Bit());

        X11InputSource source;
        QVERIFY(!source.start());
        QVERIFY2(source.problem().contains(problem), qPrintable(source.problem()));
        server.kill();
        server.waitForFinished();
    }

private:
    void listen(X11InputSource& source)
    {
        source.onFlags = [this](const FlagsEvent& event) {
            m_events << QStringLiteral("flags %1 key %2").arg(event.flags, 0, 16).arg(event.keyCode);
        };
        source.onPress = [this](const PressEvent& event) {
            m_events << (event.type == PressEvent::Type::mouseDown ? QStringLiteral("mouse")
                                                                   : QStringLiteral("key %1").arg(event.keyCode));
        };
    }

    QByteArray m_display;
    QStringList m_events;
    std::optional<KeyboardLock> m_keyboard;
};

QTEST_GUILESS_MAIN(X11InputSourceTest)
#include "tst_x11_input_source.moc"
