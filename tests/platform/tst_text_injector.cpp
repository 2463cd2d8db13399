#include "delivery/text_injector.h"
#include "platform/evdev/wayland_injection_backend.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_injection_backend.h"
#include "platform/x11/x11_input_source.h"
#include "platform/x11/x11_keyboard.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "support/text_target.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace kavo;
using namespace std::chrono_literals;
using test::columns;
using test::row;

Q_DECLARE_METATYPE(kavo::PasteChord)

namespace {

const QString mixedText = QStringLiteral(
    "Salom, dunyo! Oʻzbekcha gʻalaba. Привет, мир! 中文输入 👍🏽 👨‍👩‍👧 «ok» café");

// Long enough for the clipboard to be restored after a paste and the keyboard map after typing.
const int settled
    = int((TextInjector::chordDelay + TextInjector::restoreDelay + X11Keyboard::restoreDelay).count()) + 150;

std::pair<Window, Window> selectionOwners(Display* display)
{
    return { XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False)),
        XGetSelectionOwner(display, XA_PRIMARY) };
}

// Runs the event loop until `insertion` completes, for a few seconds at most; whether it did. The loop never sleeps
// between events, as QTest::qWaitFor does, so that it measures nothing but the injector.
bool completes(QCoro::Task<> insertion)
{
    QEventLoop loop;
    bool done = false;
    QCoro::connect(std::move(insertion), &loop, [&] {
        done = true;
        loop.quit();
    });
    if (!done) {
        QTimer::singleShot(10s, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done;
}

std::vector<KeySym> keyboardMap(Display* display)
{
    int first = 0, last = 0, width = 0;
    XDisplayKeycodes(display, &first, &last);
    KeySym* keysyms = XGetKeyboardMapping(display, KeyCode(first), last - first + 1, &width);
    std::vector<KeySym> map(keysyms, keysyms + (last - first + 1) * width);
    XFree(keysyms);
    return map;
}

} // namespace

class TextInjectorTest : public QObject
{
    Q_OBJECT

    std::optional<test::KeyboardLock> m_keyboard;
    std::unique_ptr<test::TextTarget> m_target;
    Display* m_display = nullptr;

    // Starts the Qt text field on first use and gives it the keyboard focus, empty, showing Return presses.
    test::TextTarget& target()
    {
        if (!m_target) {
            m_target = std::make_unique<test::TextTarget>(QStringLiteral(KAVO_TEXT_TARGET));
            if (const QString problem = m_target->start(); !problem.isEmpty())
                qFatal("%s", qPrintable(problem));
        }
        if (!m_target->focus())
            qFatal("the text target did not get the keyboard focus");
        m_target->clear();
        m_target->markReturns(true);
        return *m_target;
    }

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        if (!test::TestServices::available())
            return;
        // Keys, focus, keyboard map and selections all belong to the shared X server.
        QVERIFY(m_keyboard.emplace().isLocked());
        m_display = XOpenDisplay(nullptr);
    }

    void cleanupTestCase()
    {
        m_target.reset();
        if (m_display)
            XCloseDisplay(m_display);
    }

    void chunked_data()
    {
        columns<QString, QStringList>({ "text", "chunks" });
        const QString a15(15, u'a');
        row("empty", QString(), QStringList());
        row("40 characters", QString(40, u'x'), QStringList { QString(16, u'x'), QString(16, u'x'), QString(8, u'x') });
        row("emoji sequence as the 16th character", a15 + "👨‍👩‍👧b",
            QStringList { a15 + "👨‍👩‍👧", "b" });
        row("combining accent", a15 + "e\u0301z", QStringList { a15 + "e\u0301", "z" });
    }

    void chunked()
    {
        QFETCH(QString, text);
        QTEST(TextInjector::chunked(text, TextInjector::charactersPerChunk), "chunks");
    }

    void pasteChord_data()
    {
        columns<QString, QString, PasteChord>({ "instance", "className", "chord" });
        row("xterm by its class", "scratchpad", "XTerm", PasteChord::shiftInsert);
        row("kitty by its instance", "kitty", "Scratchpad", PasteChord::controlShiftV);
        row("browser", "Navigator", "firefox", PasteChord::controlV);
        row("editor named like a terminal", "kittyedit", "Kittyedit", PasteChord::controlV);
    }

    void pasteChord()
    {
        const auto [instance, className] = test::fetch<QString, QString>({ "instance", "className" });
        QTEST(X11InjectionBackend::pasteChordFor(instance, className), "chord");
    }

    void keysym_data()
    {
        columns<uint, qulonglong>({ "codePoint", "keysym" });
        row("Latin-1", uint(0xe9), qulonglong(0xe9));
        row("Uzbek okina", uint(0x2bb), qulonglong(0x10002bb));
        row("tab", uint('\t'), qulonglong(XK_Tab));
        row("control character", uint(0x7), qulonglong(NoSymbol));
        row("C1 control", uint(0x85), qulonglong(NoSymbol));
    }

    void keysym()
    {
        QFETCH(uint, codePoint);
        QTEST(qulonglong(X11Keyboard::keysymFor(char32_t(codePoint))), "keysym");
    }

    void insert_data()
    {
        // The clipboard before; afterwards it is the same, except that a paste over no clipboard leaves the text.
        columns<QString, InsertMethod, NewlineMode, QString, QString>(
            { "text", "method", "newline", "clipboard", "expected" });
        const auto type = InsertMethod::type, paste = InsertMethod::paste;
        const QString own = QStringLiteral("the user's own copy, ʻ 😀");
        row("mixed scripts and emoji", mixedText, type, NewlineMode::returnKey, own, mixedText);
        row("lone CR and LF", "bir\rikki\nuch", type, NewlineMode::returnKey, "", "bir[Return]ikki[Return]uch");
        row("LF CR is two breaks", "bir\n\rikki", type, NewlineMode::returnKey, "", "bir[Return][Return]ikki");
        row("blank line", "bir\r\n\r\nikki", type, NewlineMode::returnKey, "", "bir[Return][Return]ikki");
        row("shiftReturn", "bir\nikki", type, NewlineMode::shiftReturn, "", "bir[Shift+Return]ikki");
        row("optionReturn", "bir\nikki", type, NewlineMode::altReturn, "", "bir[Alt+Return]ikki");
        row("space", "bir\nikki\r\nuch", type, NewlineMode::space, "", "bir ikki uch");
        row("paste, clipboard restored", mixedText, paste, NewlineMode::returnKey, own, mixedText);
        row("paste, trimmed", "\r\n  salom dunyo \n", paste, NewlineMode::shiftReturn, own, "salom dunyo");
        row("paste over no clipboard", "Привет 中文 👍", paste, NewlineMode::returnKey, "", "Привет 中文 👍");
        row("blank, paste", u"  \n\t \r\n \u3000"_qs, paste, NewlineMode::returnKey, "kept", "");
    }

    void insert()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [text, method, newline, clipboard, expected]
            = test::fetch<QString, InsertMethod, NewlineMode, QString, QString>(
                { "text", "method", "newline", "clipboard", "expected" });
        // Each row starts from its own clipboard or none; the field learns of the loss while it takes the focus.
        XSetSelectionOwner(m_display, XInternAtom(m_display, "CLIPBOARD", False), None, CurrentTime);
        XSync(m_display, False);
        test::TextTarget& field = target();
        if (!clipboard.isEmpty())
            field.setSelection(clipboard);
        const auto owners = selectionOwners(m_display);
        TextInjector injector(X11InjectionBackend::create());
        QVERIFY(completes(injector.insert(text, method, newline)));
        QCOMPARE(field.waitForText(expected), expected);
        QTest::qWait(settled);
        const bool pasted = method == InsertMethod::paste && !expected.isEmpty();
        QCOMPARE(field.selection(), pasted && clipboard.isEmpty() ? expected : clipboard);
        QCOMPARE(selectionOwners(m_display) == owners, !pasted); // a paste leaves the clipboard to the injector
    }

    void typingWaitsForHeldModifiers()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        TextInjector injector(X11InjectionBackend::create());
        const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
        XTestFakeKeyEvent(m_display, control, True, CurrentTime);
        XSync(m_display, False);
        // The user lets go on this same thread, which only works while the injector waits on the event loop.
        QTimer::singleShot(300ms, this, [this, control] {
            XTestFakeKeyEvent(m_display, control, False, CurrentTime);
            XSync(m_display, False);
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(completes(injector.insert("salom", InsertMethod::type, NewlineMode::shiftReturn)));
        const qint64 waited = clock.elapsed();
        QCOMPARE(field.waitForText("salom"), "salom");
        QVERIFY2(waited >= 250, qPrintable(QString::number(waited)));
    }

    // With Caps Lock on, which stays on; the keyboard map comes back, and every key came back announced, however long
    // the insertion took.
    void typingKeepsTheMainThreadResponsive()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        // Letters of the layout and others that need remapped keys, more of them than there are spare keys, so that
        // keys are remapped again while typing; one code unit each, so that 600 of them are 600 characters.
        const QString piece = QStringLiteral("Oʻzbekcha gʻalaba, Привет, мир! «ok» café. "
                                             "一二三四五六七八九十百千万上下左右中大小人口手足山水火木金土日月天地。");
        QString text;
        while (text.size() < 600)
            text += piece;
        text.truncate(600);
        text = text.trimmed();
        const std::vector<KeySym> before = keyboardMap(m_display);
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, LockMask);
        XSync(m_display, False);
        const auto unlock = qScopeGuard([this] {
            XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, 0);
            XSync(m_display, False);
        });
        X11InputSource hotkeySource;
        QVERIFY(hotkeySource.start());
        QSignalSpy keysHeard(&hotkeySource, &InputEventSource::pressed);
        QSignalSpy modifiersHeard(&hotkeySource, &InputEventSource::flagsChanged);
        TextInjector injector(X11InjectionBackend::create());

        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(5ms);
        QElapsedTimer sinceTick;
        qint64 largestGap = 0;
        connect(&ticker, &QTimer::timeout, this, [&] { largestGap = std::max(largestGap, sinceTick.restart()); });
        sinceTick.start();
        ticker.start();
        QVERIFY(completes(injector.insert(text, InsertMethod::type, NewlineMode::returnKey)));
        largestGap = std::max(largestGap, sinceTick.elapsed());
        ticker.stop();
        QCOMPARE(field.waitForText(text), text);
        QVERIFY(keyboardMap(m_display) != before);
        QVERIFY2(largestGap <= 30, qPrintable(QStringLiteral("%1 ms between ticks").arg(largestGap)));
        QCOMPARE(keysHeard.size() + modifiersHeard.size(), 0);
        QTest::qWait(settled);
        QVERIFY(keyboardMap(m_display) == before);
        XkbStateRec state {};
        XkbGetState(m_display, XkbUseCoreKbd, &state);
        QVERIFY(state.locked_mods & LockMask);
    }

    void insertionsTakeTurns()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        TextInjector injector(X11InjectionBackend::create());
        const QString first = "Birinchi gap uzunroq, ikki boʻlakdan ortiq.", second = "Второе, вставленное.",
                      third = "第三个。";
        injector.insert(first, InsertMethod::type, NewlineMode::returnKey);
        injector.insert(second, InsertMethod::paste, NewlineMode::returnKey);
        // The command line asks this right after handing over its paste, and waits for the paste only when true.
        QVERIFY(injector.isPasting());
        QVERIFY(completes(injector.insert(third, InsertMethod::type, NewlineMode::returnKey)));
        QCOMPARE(field.waitForText(first + second + third), first + second + third);
    }

    void deliverToXterm_data()
    {
        columns<InsertMethod>({ "method" });
        row("paste", InsertMethod::paste);
        row("type", InsertMethod::type);
    }

    void deliverToXterm()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        if (QStandardPaths::findExecutable("xterm").isEmpty())
            QSKIP("xterm is not installed (scripts/setup installs it)");
        QFETCH(InsertMethod, method);
        test::TextTarget& field = target();
        field.setSelection("old clipboard");
        field.setSelection("old primary", true);
        // An xterm whose shell copies every byte it receives, raw, into a file.
        QTemporaryDir folder;
        QProcess xterm;
        xterm.start("env",
            { "LC_ALL=C.UTF-8", "xterm", "-u8", "-geometry", "80x10+0+0", "-e", "sh", "-c",
                "stty raw -echo; exec cat > \"$0\"", folder.filePath("received") });
        const auto close = qScopeGuard([&xterm] { xterm.kill(), xterm.waitForFinished(); });
        Window window = 0;
        QVERIFY(QTest::qWaitFor([&window] { return (window = test::findWindowOfClass("xterm")) != 0; }, 4000));
        test::focusWindow(window);

        TextInjector injector(X11InjectionBackend::create());
        injector.insert(mixedText, method, NewlineMode::returnKey);
        QTRY_COMPARE(QString::fromUtf8(test::readFile(folder.filePath("received"))), mixedText);
        QTest::qWait(settled);
        QCOMPARE(field.selection(), "old clipboard");
        QCOMPARE(field.selection(true), "old primary");
    }

    void waylandSessionWithoutPasteKeysLeavesTheText()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        if (::access("/dev/uinput", W_OK) == 0)
            QSKIP("with access to /dev/uinput the paste keys would reach the desktop this test runs in");
        // No compositor and no /dev/uinput here: the clipboard goes through the test display, and no key is sent.
        test::TextTarget& field = target();
        field.setSelection("old clipboard");
        Log::reset();
        TextInjector injector(std::make_unique<WaylandInjectionBackend>(X11Clipboard::open()));
        QSignalSpy told(&injector, &TextInjector::pasteKeysUnavailable);
        QSignalSpy finished(&injector, &TextInjector::pasteFinished);
        const std::pair<QString, InsertMethod> insertions[] { { mixedText, InsertMethod::type },
            { QStringLiteral("Привет 中文 👍"), InsertMethod::paste } };
        for (const auto& [text, method] : insertions) {
            QVERIFY(completes(injector.insert(text, method, NewlineMode::returnKey)));
            QTest::qWait(settled);
            QCOMPARE(field.selection(), text);
            QCOMPARE(field.selection(true), text);
        }
        QCOMPARE(field.text(), QString());
        QCOMPARE(told.size(), 1);
        QCOMPARE(finished.size(), 2);
        QVERIFY(!injector.isPasting());
        const QString log = test::logText();
        QCOMPARE(log.count("typing is not available in Wayland sessions; pasting instead\n"), 1);
        QCOMPARE(log.count("the paste keys could not be sent; the text stays on the clipboard\n"), 2);
    }
};

QTEST_GUILESS_MAIN(TextInjectorTest)
#include "tst_text_injector.moc"
