#include "x11_connection.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <poll.h>
#include <vector>

#include <X11/Xlib.h>

namespace kavo {

namespace {

// The traps in force, innermost last. Xlib's error handler is one per process, so each trap installs its own and
// puts back the one before it.
struct TrapFrame
{
    Display* display;
    int errors;
    XErrorHandler outerHandler;
};

std::vector<TrapFrame>& trapFrames()
{
    static std::vector<TrapFrame> frames;
    return frames;
}

int countError(Display* display, XErrorEvent* error)
{
    auto& frames = trapFrames();
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        if (frame->display == display) {
            ++frame->errors;
            return 0;
        }
    }
    // Another connection's error: whoever handled errors before the outermost trap deals with it.
    const XErrorHandler outer = frames.empty() ? nullptr : frames.front().outerHandler;
    return outer ? outer(display, error) : 0;
}

} // namespace

X11Connection::X11Connection(QObject* parent)
    : QObject(parent)
    , m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Connection::dispatchPending);
    // Xlib reads events off the socket during any round trip; those would wait unseen for the next socket activity.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (XEventsQueued(m_display, QueuedAlready) > 0)
                dispatchPending();
        });
    }
}

X11Connection::~X11Connection()
{
    m_notifier.reset();
    if (m_display)
        XCloseDisplay(m_display);
}

unsigned long X11Connection::rootWindow() const
{
    return DefaultRootWindow(m_display);
}

unsigned long X11Connection::atom(const char* name) const
{
    return XInternAtom(m_display, name, False);
}

void X11Connection::setEventHandler(EventHandler handler)
{
    m_handler = std::move(handler);
}

bool X11Connection::waitFor(const EventMatch& match, std::chrono::milliseconds timeout, XEvent& event)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        while (XPending(m_display) > 0) {
            XNextEvent(m_display, &event);
            if (match(event))
                return true;
            handle(event);
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd socket { ConnectionNumber(m_display), POLLIN, 0 };
        ::poll(&socket, 1, int(left.count()));
    }
}

void X11Connection::dispatchPending()
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        handle(event);
    }
}

void X11Connection::handle(XEvent& event)
{
    if (event.type == MappingNotify)
        XRefreshKeyboardMapping(&event.xmapping);
    if (m_handler)
        m_handler(event);
}

X11ErrorTrap::X11ErrorTrap(Display* display)
    : m_display(display)
{
    XSync(display, False);
    trapFrames().push_back({ display, 0, XSetErrorHandler(countError) });
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(m_display, False);
    XSetErrorHandler(trapFrames().back().outerHandler);
    trapFrames().pop_back();
}

bool X11ErrorTrap::succeeded()
{
    XSync(m_display, False);
    return trapFrames().back().errors == 0;
}

} // namespace kavo
