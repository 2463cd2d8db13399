#include "input/text_injector.h"
#include "input/wayland_injection_backend.h"
#include "input/x11_injection_backend.h"
#include "input/x11_keyboard.h"
#include "store/log.h"

#include "support/data_folder.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "support/text_target.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace kavo;
using namespace std::chrono_literals;
using test::columns;
using test::row;

Q_DECLARE_METATYPE(kavo::NewlineMode)
Q_DECLARE_METATYPE(kavo::PasteChord)
Q_DECLARE_METATYPE(kavo::SessionKind)

namespace {

const QString mixedText = QStringLiteral(
    "Salom, dunyo! Oʻzbekcha gʻalaba. Привет, мир! 中文输入 👍🏽 👨‍👩‍👧 «ok» café");

// Long enough for the clipboard to be restored after a paste and the keyboard map after typing.
constexpr auto settled = TextInjector::chordDelay + TextInjector::restoreDelay + X11Keyboard::restoreDelay + 150ms;

void wait(std::chrono::milliseconds time)
{
    QTest::qWait(int(time.count()));
}

struct Owner
{
    Window clipboard;
    Window primary;
    bool operator==(const Owner&) const = default;
};

Owner selectionOwners(Display* display)
{
    return { XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False)),
        XGetSelectionOwner(display, XA_PRIMARY) };
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

/// An xterm whose shell copies every byte it receives, raw, into a file.
class Xterm
{
public:
    explicit Xterm(const QString& output)
        : m_output(output)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral("xterm"),
            { QStringLiteral("-u8"), QStringLiteral("-geometry"), QStringLiteral("80x10+0+0"), QStringLiteral("-e"),
                QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("stty raw -echo; exec cat > \"$0\""),
                output });
    }
    ~Xterm()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    bool focus()
    {
        Window window = 0;
        for (int attempt = 0; attempt < 200 && !window; ++attempt) {
            wait(20ms);
            window = test::findWindowOfClass(QStringLiteral("xterm"));
        }
        if (window)
            test::focusWindow(window);
        return window;
    }

    QString waitForText(const QString& expected)
    {
        QString seen;
        for (int attempt = 0; attempt < 150 && seen != expected; ++attempt) {
            wait(20ms);
            seen = QString::fromUtf8(test::readFile(m_output));
        }
        return seen;
    }

private:
    QString m_output;
    QProcess m_process;
};

} // namespace

class TextInjectorTest : public QObject
{
    Q_OBJECT

    std::optional<test::KeyboardLock> m_keyboard;
    std::unique_ptr<test::TextTarget> m_target;
    Display* m_display = nullptr;

    // Starts the Qt text field on first use and gives it the keyboard focus, empty.
    test::TextTarget& target()
    {
        if (!m_target) {
            m_target = std::make_unique<test::TextTarget>(QStringLiteral(KAVO_TEXT_TARGET));
            const QString problem = m_target->start();
            if (!problem.isEmpty())
                qFatal("%s", qPrintable(problem));
        }
        if (!m_target->focus())
            qFatal("the text target did not get the keyboard focus");
        m_target->clear();
        m_target->markReturns(false);
        return *m_target;
    }

    static std::unique_ptr<TextInjector> x11Injector()
    {
        auto backend = X11InjectionBackend::create();
        return backend ? std::make_unique<TextInjector>(std::move(backend)) : nullptr;
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
        m_keyboard.reset();
    }

    void chunked_data()
    {
        columns<QString, QStringList>({ "text", "chunks" });
        row("empty", QString(), QStringList());
        row("short", QStringLiteral("salom"), QStringList { "salom" });
        row("40 characters", QString(40, u'x'), QStringList { QString(16, u'x'), QString(16, u'x'), QString(8, u'x') });
        const QString family = QStringLiteral("👨‍👩‍👧");
        row("emoji sequence as the 16th character", QString(15, u'a') + family + u'b',
            QStringList { QString(15, u'a') + family, QStringLiteral("b") });
        row("flag and skin tone", QString(15, u'a') + QStringLiteral("🇺🇿👍🏽"),
            QStringList { QString(15, u'a') + QStringLiteral("🇺🇿"), QStringLiteral("👍🏽") });
        row("combining accent", QString(15, u'a') + QStringLiteral("e\u0301z"),
            QStringList { QString(15, u'a') + QStringLiteral("e\u0301"), QStringLiteral("z") });
    }

    void chunked()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, chunks);
        QCOMPARE(TextInjector::chunked(text, TextInjector::charactersPerChunk), chunks);
    }

    void lines_data()
    {
        columns<QString, QStringList>({ "text", "lines" });
        row("empty", QString(), QStringList { QString() });
        row("CRLF", QStringLiteral("one\r\ntwo"), QStringList { "one", "two" });
        row("lone CR and LF", QStringLiteral("one\rtwo\nthree"), QStringList { "one", "two", "three" });
        row("blank line", QStringLiteral("one\r\n\r\ntwo"), QStringList { "one", "", "two" });
        row("LF CR is two breaks", QStringLiteral("one\n\rtwo"), QStringList { "one", "", "two" });
    }

    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextInjector::lines(text), lines);
    }

    void newlineMode_data()
    {
        columns<QString, NewlineMode>({ "raw", "mode" });
        row("shiftReturn", QStringLiteral("shiftReturn"), NewlineMode::shiftReturn);
        row("optionReturn", QStringLiteral("optionReturn"), NewlineMode::optionReturn);
        row("return", QStringLiteral("return"), NewlineMode::returnKey);
        row("space", QStringLiteral("space"), NewlineMode::space);
        row("empty", QString(), NewlineMode::shiftReturn);
        row("unknown", QStringLiteral("enter"), NewlineMode::shiftReturn);
        row("case matters", QStringLiteral("Return"), NewlineMode::shiftReturn);
    }

    void newlineMode()
    {
        QFETCH(QString, raw);
        QFETCH(NewlineMode, mode);
        QCOMPARE(TextInjector::newlineMode(raw), mode);
    }

    void pasteChord_data()
    {
        columns<QString, QString, PasteChord>({ "instance", "className", "chord" });
        row("xterm", QStringLiteral("xterm"), QStringLiteral("XTerm"), PasteChord::shiftInsert);
        row("urxvt", QStringLiteral("urxvt"), QStringLiteral("URxvt"), PasteChord::shiftInsert);
        row("st", QStringLiteral("st-256color"), QStringLiteral("st-256color"), PasteChord::shiftInsert);
        row("GNOME Terminal", QStringLiteral("gnome-terminal-server"), QStringLiteral("Gnome-terminal"),
            PasteChord::controlShiftV);
        row("WezTerm", QStringLiteral("org.wezfurlong.wezterm"), QStringLiteral("org.wezfurlong.wezterm"),
            PasteChord::controlShiftV);
        row("Alacritty", QStringLiteral("Alacritty"), QStringLiteral("Alacritty"), PasteChord::controlShiftV);
        row("browser", QStringLiteral("Navigator"), QStringLiteral("firefox"), PasteChord::controlV);
        row("editor named like a terminal", QStringLiteral("kittyedit"), QStringLiteral("Kittyedit"),
            PasteChord::controlV);
    }

    void pasteChord()
    {
        QFETCH(QString, instance);
        QFETCH(QString, className);
        QFETCH(PasteChord, chord);
        QCOMPARE(X11InjectionBackend::pasteChordFor(instance, className), chord);
    }

    void sessionKind_data()
    {
        columns<QString, QString, QString, SessionKind>({ "type", "display", "waylandDisplay", "kind" });
        row("x11", QStringLiteral("x11"), QStringLiteral(":0"), QStringLiteral("wayland-0"), SessionKind::x11);
        row("wayland", QStringLiteral("wayland"), QStringLiteral(":0"), QStringLiteral("wayland-0"),
            SessionKind::wayland);
        row("display only", QString(), QStringLiteral(":0"), QString(), SessionKind::x11);
        row("Wayland display, no type", QString(), QStringLiteral(":0"), QStringLiteral("wayland-0"),
            SessionKind::wayland);
        row("tty with forwarded display", QStringLiteral("tty"), QStringLiteral("localhost:10"), QString(),
            SessionKind::x11);
    }

    void sessionKind()
    {
        QFETCH(QString, type);
        QFETCH(QString, display);
        QFETCH(QString, waylandDisplay);
        QFETCH(SessionKind, kind);
        QProcessEnvironment environment;
        for (const auto& [name, value] : { std::pair { "XDG_SESSION_TYPE", type }, std::pair { "DISPLAY", display },
                 std::pair { "WAYLAND_DISPLAY", waylandDisplay } }) {
            if (!value.isEmpty())
                environment.insert(QString::fromLatin1(name), value);
        }
        QCOMPARE(kavo::sessionKind(environment), kind);
    }

    void keysym_data()
    {
        columns<uint, qulonglong>({ "codePoint", "keysym" });
        row("ASCII", uint('a'), qulonglong('a'));
        row("Latin-1", uint(0xe9), qulonglong(0xe9));
        row("Uzbek okina", uint(0x2bb), qulonglong(0x10002bb));
        row("Cyrillic", uint(0x416), qulonglong(0x1000416));
        row("emoji beyond the BMP", uint(0x1f44d), qulonglong(0x101f44d));
        row("tab", uint('\t'), qulonglong(XK_Tab));
        row("control character", uint(0x7), qulonglong(NoSymbol));
        row("C1 control", uint(0x85), qulonglong(NoSymbol));
    }

    void keysym()
    {
        QFETCH(uint, codePoint);
        QFETCH(qulonglong, keysym);
        QCOMPARE(qulonglong(X11Keyboard::keysymFor(char32_t(codePoint))), keysym);
    }

    void typeIntoQtField_data()
    {
        columns<QString, QString, bool, QString>({ "text", "newline", "marks", "expected" });
        row("mixed scripts and emoji", mixedText, QStringLiteral("return"), false, mixedText);
        row("CRLF with Return", QStringLiteral("first line\r\nsecond line"), QStringLiteral("return"), false,
            QStringLiteral("first line\nsecond line"));
        row("trimmed", QStringLiteral(" \n\t salom \r\n"), QStringLiteral("return"), false, QStringLiteral("salom"));
        row("40 characters", QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCD"), QStringLiteral("return"),
            false, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCD"));
        row("shiftReturn", QStringLiteral("bir\r\nikki"), QStringLiteral("shiftReturn"), true,
            QStringLiteral("bir[Shift+Return]ikki"));
        row("optionReturn", QStringLiteral("bir\nikki"), QStringLiteral("optionReturn"), true,
            QStringLiteral("bir[Alt+Return]ikki"));
        row("return", QStringLiteral("bir\rikki"), QStringLiteral("return"), true, QStringLiteral("bir[Return]ikki"));
        row("unknown mode", QStringLiteral("bir\nikki"), QStringLiteral("enter"), true,
            QStringLiteral("bir[Shift+Return]ikki"));
        row("space", QStringLiteral("bir\nikki\r\nuch"), QStringLiteral("space"), true, QStringLiteral("bir ikki uch"));
        row("blank line", QStringLiteral("bir\n\nikki"), QStringLiteral("return"), true,
            QStringLiteral("bir[Return][Return]ikki"));
    }

    void typeIntoQtField()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QString, text);
        QFETCH(QString, newline);
        QFETCH(bool, marks);
        QFETCH(QString, expected);
        test::TextTarget& field = target();
        field.markReturns(marks);
        const auto injector = x11Injector();
        QVERIFY(injector);
        injector->insert(text, QStringLiteral("type"), newline);
        QCOMPARE(field.waitForText(expected), expected);
    }

    void typingRestoresTheKeyboardMap()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        const std::vector<KeySym> before = keyboardMap(m_display);
        const auto injector = x11Injector();
        QVERIFY(injector);
        injector->insert(mixedText, QStringLiteral("type"), QString());
        QCOMPARE(field.waitForText(mixedText), mixedText);
        QVERIFY(keyboardMap(m_display) != before);
        wait(settled);
        QVERIFY(keyboardMap(m_display) == before);
    }

    void typingIgnoresCapsLock()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, LockMask);
        XSync(m_display, False);
        const auto unlock = qScopeGuard([this] {
            XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, 0);
            XSync(m_display, False);
        });
        const auto injector = x11Injector();
        QVERIFY(injector);
        injector->insert(mixedText, QStringLiteral("type"), QString());
        QCOMPARE(field.waitForText(mixedText), mixedText);
        XkbStateRec state {};
        XkbGetState(m_display, XkbUseCoreKbd, &state);
        QVERIFY(state.locked_mods & LockMask);
    }

    void typingWaitsForHeldModifiers()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::TextTarget& field = target();
        const auto injector = x11Injector();
        QVERIFY(injector);
        const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
        XTestFakeKeyEvent(m_display, control, True, CurrentTime);
        XSync(m_display, False);
        // The injector blocks this thread while it waits, so the user lets go on another one.
        std::thread user([] {
            std::this_thread::sleep_for(300ms);
            Display* display = XOpenDisplay(nullptr);
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Control_L), False, CurrentTime);
            XCloseDisplay(display);
        });
        QElapsedTimer clock;
        clock.start();
        injector->insert(QStringLiteral("salom"), QStringLiteral("type"), QString());
        const qint64 blocked = clock.elapsed();
        user.join();
        QCOMPARE(field.waitForText(QStringLiteral("salom")), QStringLiteral("salom"));
        QVERIFY2(blocked >= 250, qPrintable(QString::number(blocked)));
    }

    void pasteIntoQtField_data()
    {
        columns<QString, bool, QString>({ "text", "clipboardHadText", "expected" });
        row("mixed, clipboard restored", mixedText, true, mixedText);
        row("trimmed, clipboard restored", QStringLiteral("\r\n  salom dunyo \n"), true, QStringLiteral("salom dunyo"));
        row("empty clipboard keeps the transcript", QStringLiteral("Привет 中文 👍"), false,
            QStringLiteral("Привет 中文 👍"));
    }

    void pasteIntoQtField()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QString, text);
        QFETCH(bool, clipboardHadText);
        QFETCH(QString, expected);
        test::TextTarget& field = target();
        const QString previous = QStringLiteral("the user's own copy, ʻ 😀");
        if (clipboardHadText)
            field.setSelection(previous);
        else
            QCOMPARE(selectionOwners(m_display).clipboard, Window(None));
        {
            const auto injector = x11Injector();
            QVERIFY(injector);
            injector->insert(text, QStringLiteral("paste"), QStringLiteral("return"));
            QCOMPARE(field.waitForText(expected), expected);
            wait(settled);
            QCOMPARE(field.selection(), clipboardHadText ? previous : expected);
        }
        // Selections this process owned are gone with its window; the next row starts without a clipboard.
        field.setSelection(QString());
        XSetSelectionOwner(m_display, XInternAtom(m_display, "CLIPBOARD", False), None, CurrentTime);
        XSync(m_display, False);
    }

    void blankTextDoesNothing_data()
    {
        columns<QString>({ "method" });
        row("paste", QStringLiteral("paste"));
        row("type", QStringLiteral("type"));
        row("unknown method", QString());
    }

    void blankTextDoesNothing()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        QFETCH(QString, method);
        test::TextTarget& field = target();
        field.setSelection(QStringLiteral("kept"));
        const Owner owners = selectionOwners(m_display);
        const auto injector = x11Injector();
        QVERIFY(injector);
        injector->insert(QStringLiteral("  \n\t \r\n \u3000"), method, QStringLiteral("return"));
        wait(TextInjector::chordDelay + 100ms);
        QCOMPARE(field.text(), QString());
        QVERIFY(selectionOwners(m_display) == owners);
        QCOMPARE(field.selection(), QStringLiteral("kept"));
    }

    void deliverToXterm_data()
    {
        columns<QString>({ "method" });
        row("paste", QStringLiteral("paste"));
        row("type", QStringLiteral("type"));
    }

    void deliverToXterm()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        if (QStandardPaths::findExecutable(QStringLiteral("xterm")).isEmpty())
            QSKIP("xterm is not installed (scripts/setup installs it)");
        QFETCH(QString, method);
        test::TextTarget& field = target();
        field.setSelection(QStringLiteral("old clipboard"));
        field.setSelection(QStringLiteral("old primary"), true);
        QTemporaryDir folder;
        Xterm xterm(folder.filePath(QStringLiteral("received")));
        QVERIFY(xterm.focus());
        const auto injector = x11Injector();
        QVERIFY(injector);
        injector->insert(mixedText, method, QStringLiteral("return"));
        QCOMPARE(xterm.waitForText(mixedText), mixedText);
        wait(settled);
        QCOMPARE(field.selection(), QStringLiteral("old clipboard"));
        QCOMPARE(field.selection(true), QStringLiteral("old primary"));
    }

    void waylandSessionPastesInsteadOfTyping()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        // No compositor and no /dev/uinput here: the clipboard goes through the test display, and no key arrives.
        test::TextTarget& field = target();
        field.setSelection(QStringLiteral("old clipboard"));
        Log::reset();
        TextInjector injector(std::make_unique<WaylandInjectionBackend>());
        injector.insert(mixedText, QStringLiteral("type"), QStringLiteral("return"));
        QCOMPARE(field.selection(), mixedText);
        QCOMPARE(field.selection(true), mixedText);
        wait(settled);
        QCOMPARE(field.selection(), QStringLiteral("old clipboard"));
        QCOMPARE(field.text(), QString());
        Log::flush();
        const QString log = QString::fromUtf8(test::readFile(Log::fileURL()));
        QCOMPARE(log.count(QStringLiteral(" typing is not available in Wayland sessions; pasting instead\n")), 1);
    }
};

QTEST_GUILESS_MAIN(TextInjectorTest)
#include "tst_text_injector.moc"
