#include "x11_injection_backend.h"

#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display.h"
#include "platform/x11/x11_keyboard.h"
#include "store/log.h"

#include <QPointer>
#include <QStringList>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace kavo {

namespace {

// Terminal emulators by WM_CLASS (instance or class name, lower case). They take Ctrl+V as a control character;
// the rxvt family, st and xterm paste the primary selection with Shift+Insert and the rest the clipboard with
// Ctrl+Shift+V.
const QStringList shiftInsertTerminals { "xterm", "uxterm", "urxvt", "rxvt", "rxvt-unicode", "urxvt-unicode", "st",
    "st-256color", "eterm", "aterm" };
const QStringList controlShiftVTerminals { "gnome-terminal", "gnome-terminal-server", "konsole", "kitty", "alacritty",
    "foot", "footclient", "xfce4-terminal", "terminator", "tilix", "com.gexperts.tilix", "wezterm", "wezterm-gui",
    "org.wezfurlong.wezterm", "terminology", "qterminal", "lxterminal", "mate-terminal", "sakura", "guake", "tilda",
    "yakuake", "roxterm", "deepin-terminal", "kgx", "org.gnome.console", "ptyxis", "org.gnome.ptyxis", "ghostty",
    "com.mitchellh.ghostty", "contour", "blackbox", "com.raggesilver.blackbox", "tabby", "hyper", "cool-retro-term",
    "termite", "terminix", "x-terminal-emulator" };

struct WindowClass
{
    QString instanceName;
    QString className;
};

std::optional<WindowClass> classOf(Display* display, Window window)
{
    XClassHint hint {};
    if (!XGetClassHint(display, window, &hint))
        return std::nullopt;
    const XFreed<char> instanceName(hint.res_name), className(hint.res_class);
    return WindowClass { QString::fromLocal8Bit(instanceName.get()), QString::fromLocal8Bit(className.get()) };
}

Window activeWindow(X11Connection& connection)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(connection.display(), connection.rootWindow(),
        connection.atom("_NET_ACTIVE_WINDOW"), 0, 1, False, XA_WINDOW, &type, &format, &items, &remaining, &data);
    const XFreed<unsigned char> freed(data);
    if (status != Success || type != XA_WINDOW || format != 32 || items != 1)
        return None;
    return *reinterpret_cast<const Window*>(data);
}

// WM_CLASS of the window that receives the keyboard now: the focus window or the nearest ancestor that has one (a
// toolkit may focus a child window), else the window manager's active window.
std::optional<WindowClass> focusedWindowClass(X11Connection& connection)
{
    Display* display = connection.display();
    X11ErrorTrap trap(display);
    Window window = None;
    int revertTo = 0;
    XGetInputFocus(display, &window, &revertTo);
    if (window == PointerRoot) {
        Window root = None, child = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display, connection.rootWindow(), &root, &child, &rootX, &rootY, &x, &y, &mask);
        window = child;
    }
    while (window != None && window != connection.rootWindow()) {
        if (auto found = classOf(display, window))
            return found;
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        const Status queried = XQueryTree(display, window, &root, &parent, &children, &count);
        const XFreed<Window> freed(children);
        if (!queried)
            break;
        window = parent;
    }
    const Window active = activeWindow(connection);
    return active == None ? std::nullopt : classOf(display, active);
}

} // namespace

std::unique_ptr<X11InjectionBackend> X11InjectionBackend::create(const ClipboardWrapper& wrapClipboard)
{
    auto connection = std::make_unique<X11Connection>();
    if (!connection->isOpen()) {
        Log::write(QStringLiteral("text cannot be delivered: the X display could not be opened"));
        return nullptr;
    }
    if (!X11Keyboard::isSupported(*connection)) {
        Log::write(QStringLiteral("text cannot be delivered: the X server lacks the XTest or XKB extension"));
        return nullptr;
    }
    return std::unique_ptr<X11InjectionBackend>(new X11InjectionBackend(std::move(connection), wrapClipboard));
}

X11InjectionBackend::X11InjectionBackend(
    std::unique_ptr<X11Connection> connection, const ClipboardWrapper& wrapClipboard)
    : m_connection(std::move(connection))
    , m_clipboard(std::make_unique<X11Clipboard>(*m_connection))
    , m_keyboard(std::make_unique<X11Keyboard>(*m_connection))
{
    if (wrapClipboard)
        m_clipboard = wrapClipboard(std::move(m_clipboard));
}

X11InjectionBackend::~X11InjectionBackend() = default;

Clipboard& X11InjectionBackend::clipboard()
{
    return *m_clipboard;
}

PasteChord X11InjectionBackend::pasteChord()
{
    const std::optional<WindowClass> focused = focusedWindowClass(*m_connection);
    return focused ? pasteChordFor(focused->instanceName, focused->className) : PasteChord::controlV;
}

QCoro::Task<bool> X11InjectionBackend::sendPasteChord(PasteChord chord)
{
    std::vector<unsigned long> modifiers;
    unsigned long key = XK_v;
    switch (chord) {
    case PasteChord::controlV:
        modifiers = { XK_Control_L };
        break;
    case PasteChord::controlShiftV:
        modifiers = { XK_Control_L, XK_Shift_L };
        break;
    case PasteChord::shiftInsert:
        modifiers = { XK_Shift_L };
        key = XK_Insert;
        break;
    }
    const QPointer<X11Keyboard> keyboard(m_keyboard.get());
    const bool sent = co_await keyboard->sendChord(std::move(modifiers), key);
    if (keyboard)
        keyboard->finish();
    co_return sent;
}

QCoro::Task<> X11InjectionBackend::waitForModifiersReleased()
{
    return m_keyboard->waitForModifiersReleased(std::chrono::seconds(1));
}

KeyTypist* X11InjectionBackend::typist()
{
    return m_keyboard.get();
}

PasteChord X11InjectionBackend::pasteChordFor(const QString& instanceName, const QString& className)
{
    const auto isOneOf = [&](const QStringList& names) {
        return names.contains(instanceName.toLower()) || names.contains(className.toLower());
    };
    if (isOneOf(shiftInsertTerminals))
        return PasteChord::shiftInsert;
    if (isOneOf(controlShiftVTerminals))
        return PasteChord::controlShiftV;
    return PasteChord::controlV;
}

} // namespace kavo
