#include "x11_connection.h"

#include "delivery/waiting.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <QSocketNotifier>

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

struct X11Connection::Wait
{
    EventMatch match;
    std::optional<XEvent> event;
    WakeUpCall arrived;
};

X11Connection::X11Connection(QObject* parent)
    : QObject(parent)
    , m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display.get()), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Connection::dispatchPending);
    // Xlib reads events off the socket during any round trip; those would wait unseen for the next socket activity.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (XEventsQueued(m_display.get(), QueuedAlready) > 0)
                dispatchPending();
        });
    }
}

X11Connection::~X11Connection()
{
    for (Wait* wait : m_waits)
        wait->arrived.ring();
}

unsigned long X11Connection::rootWindow() const
{
    return DefaultRootWindow(m_display.get());
}

unsigned long X11Connection::atom(const char* name) const
{
    return XInternAtom(m_display.get(), name, False);
}

void X11Connection::setEventHandler(EventHandler handler)
{
    m_handler = std::move(handler);
}

QCoro::Task<std::optional<XEvent>> X11Connection::waitFor(EventMatch match, std::chrono::milliseconds timeout)
{
    const QPointer<X11Connection> self(this);
    Wait wait { std::move(match), std::nullopt, {} };
    m_waits.push_back(&wait);
    // The answer may be in Xlib's queue already, where it would never make the socket readable.
    dispatchPending();
    co_await wait.arrived.wait(timeout);
    if (self)
        std::erase(m_waits, &wait);
    co_return wait.event;
}

void X11Connection::dispatchPending()
{
    // The last XPending, finding Xlib's queue empty, sends the requests still in its buffer.
    while (XPending(m_display.get()) > 0) {
        XEvent event;
        XNextEvent(m_display.get(), &event);
        handle(event);
    }
}

void X11Connection::handle(XEvent& event)
{
    if (event.type == MappingNotify)
        XRefreshKeyboardMapping(&event.xmapping);
    for (Wait* wait : m_waits) {
        if (!wait->arrived.hasRung() && wait->match(event)) {
            wait->event = event;
            wait->arrived.ring();
            return;
        }
    }
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
