#include "x11_clipboard.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display.h"

#include <QPointer>

#include <climits>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kavo {

namespace {

// Bytes that fit in one ChangeProperty request, leaving room for the request's own header.
long largestProperty(Display* display)
{
    const long units = XExtendedMaxRequestSize(display) ? XExtendedMaxRequestSize(display) : XMaxRequestSize(display);
    return units * 4 - 64;
}

/// An X11 clipboard that owns its connection, for sessions where nothing else talks to the X server.
class OwnConnectionClipboard : public Clipboard
{
public:
    explicit OwnConnectionClipboard(std::unique_ptr<X11Connection> connection)
        : m_connection(std::move(connection))
        , m_clipboard(*m_connection)
    { }

    QCoro::Task<std::optional<QString>> text(ClipboardSelection selection) override
    {
        return m_clipboard.text(selection);
    }
    QCoro::Task<> setText(ClipboardSelection selection, QString text) override
    {
        return m_clipboard.setText(selection, std::move(text));
    }

private:
    std::unique_ptr<X11Connection> m_connection;
    X11Clipboard m_clipboard;
};

} // namespace

std::unique_ptr<Clipboard> X11Clipboard::open()
{
    auto connection = std::make_unique<X11Connection>();
    if (!connection->isOpen())
        return nullptr;
    return std::make_unique<OwnConnectionClipboard>(std::move(connection));
}

X11Clipboard::X11Clipboard(X11Connection& connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
{
    Display* display = connection.display();
    m_window = XCreateSimpleWindow(display, connection.rootWindow(), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display, m_window, PropertyChangeMask);
    m_atoms = {
        connection.atom("CLIPBOARD"),
        XA_PRIMARY,
        connection.atom("TARGETS"),
        connection.atom("TIMESTAMP"),
        connection.atom("TEXT"),
        connection.atom("UTF8_STRING"),
        XA_STRING,
        connection.atom("text/plain;charset=utf-8"),
        connection.atom("INCR"),
        connection.atom("KAVO_SELECTION"),
        connection.atom("KAVO_CLOCK"),
    };
    connection.setEventHandler([this](const XEvent& event) { handle(event); });
}

X11Clipboard::~X11Clipboard()
{
    m_connection.setEventHandler(nullptr);
    XDestroyWindow(m_connection.display(), m_window);
    XFlush(m_connection.display());
}

unsigned long X11Clipboard::selectionAtom(ClipboardSelection selection) const
{
    return selection == ClipboardSelection::primary ? m_atoms.primary : m_atoms.clipboard;
}

QCoro::Task<std::optional<QString>> X11Clipboard::text(ClipboardSelection selection)
{
    const QPointer<X11Clipboard> self(this);
    const Atom atom = selectionAtom(selection);
    const Window owner = XGetSelectionOwner(m_connection.display(), atom);
    if (owner == None)
        co_return std::nullopt;
    if (owner == m_window) {
        // Asking ourselves through the server would wait for an answer only this thread can give.
        const auto owned = m_owned.find(atom);
        co_return owned == m_owned.end() ? std::nullopt : std::optional(QString::fromUtf8(owned->second.utf8));
    }
    Conversion conversion = co_await convert(atom, m_atoms.utf8String);
    if (self && conversion.answered && !conversion.text)
        conversion = co_await convert(atom, m_atoms.string);
    co_return conversion.text;
}

QCoro::Task<> X11Clipboard::setText(ClipboardSelection selection, QString text)
{
    const QPointer<X11Clipboard> self(this);
    const Time now = co_await serverTime();
    if (!self)
        co_return;
    Display* display = m_connection.display();
    const Atom atom = selectionAtom(selection);
    m_owned[atom] = { text.toUtf8(), now };
    XSetSelectionOwner(display, atom, m_window, now);
    if (XGetSelectionOwner(display, atom) != m_window)
        m_owned.erase(atom);
}

QCoro::Task<X11Clipboard::Conversion> X11Clipboard::convert(unsigned long selection, unsigned long target)
{
    const QPointer<X11Clipboard> self(this);
    Display* display = m_connection.display();
    const Window window = m_window;
    XDeleteProperty(display, window, m_atoms.transfer);
    XConvertSelection(display, selection, target, m_atoms.transfer, window, CurrentTime);
    const std::optional<XEvent> event = co_await m_connection.waitFor(
        [window, selection, target](const XEvent& candidate) {
            return candidate.type == SelectionNotify && candidate.xselection.requestor == window
                && candidate.xselection.selection == selection && candidate.xselection.target == target;
        },
        replyTimeout);
    if (!self || !event)
        co_return Conversion {};
    if (event->xselection.property == None)
        co_return Conversion { true, std::nullopt };
    Atom type = None;
    std::optional<QByteArray> bytes = readTransfer(type);
    if (bytes && type == m_atoms.incr)
        bytes = co_await receiveIncrementally();
    if (!bytes)
        co_return Conversion { true, std::nullopt };
    co_return Conversion { true, type == XA_STRING ? QString::fromLatin1(*bytes) : QString::fromUtf8(*bytes) };
}

// Reads and deletes the transfer property; deleting it is also what asks an incremental sender for more.
std::optional<QByteArray> X11Clipboard::readTransfer(unsigned long& type)
{
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(m_connection.display(), m_window, m_atoms.transfer, 0, LONG_MAX / 4, True,
        AnyPropertyType, &type, &format, &items, &remaining, &data);
    const XFreed<unsigned char> freed(data);
    if (status != Success || type == None)
        return std::nullopt;
    if (format == 8)
        return QByteArray(reinterpret_cast<const char*>(data), qsizetype(items));
    if (type == m_atoms.incr)
        return QByteArray();
    return std::nullopt;
}

QCoro::Task<std::optional<QByteArray>> X11Clipboard::receiveIncrementally()
{
    const QPointer<X11Clipboard> self(this);
    const Window window = m_window;
    const Atom transfer = m_atoms.transfer;
    QByteArray text;
    for (;;) {
        const std::optional<XEvent> arrived = co_await m_connection.waitFor(
            [window, transfer](const XEvent& candidate) {
                return candidate.type == PropertyNotify && candidate.xproperty.window == window
                    && candidate.xproperty.atom == transfer && candidate.xproperty.state == PropertyNewValue;
            },
            replyTimeout);
        if (!self || !arrived)
            co_return std::nullopt;
        Atom type = None;
        const std::optional<QByteArray> piece = readTransfer(type);
        if (!piece)
            co_return std::nullopt;
        if (piece->isEmpty())
            co_return text;
        text += *piece;
    }
}

// A selection is taken with a real server time rather than CurrentTime, so that clients can order the owners. The
// time comes with the notification of a zero-length change to a property of our own window.
QCoro::Task<unsigned long> X11Clipboard::serverTime()
{
    const Window window = m_window;
    const Atom clock = m_atoms.clock;
    XChangeProperty(m_connection.display(), window, clock, XA_STRING, 8, PropModeAppend, nullptr, 0);
    const std::optional<XEvent> event = co_await m_connection.waitFor(
        [window, clock](const XEvent& candidate) {
            return candidate.type == PropertyNotify && candidate.xproperty.window == window
                && candidate.xproperty.atom == clock;
        },
        replyTimeout);
    co_return event ? event->xproperty.time : CurrentTime;
}

void X11Clipboard::handle(const XEvent& event)
{
    if (event.type == SelectionRequest && event.xselectionrequest.owner == m_window)
        answer(event);
    else if (event.type == SelectionClear && event.xselectionclear.window == m_window)
        m_owned.erase(event.xselectionclear.selection);
}

void X11Clipboard::answer(const XEvent& request)
{
    Display* display = m_connection.display();
    const XSelectionRequestEvent& asked = request.xselectionrequest;
    XEvent reply {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = asked.requestor;
    reply.xselection.selection = asked.selection;
    reply.xselection.target = asked.target;
    reply.xselection.time = asked.time;
    // The requestor may be gone by now; that must not take this process down.
    X11ErrorTrap trap(display);
    reply.xselection.property = writeReply(request);
    XSendEvent(display, asked.requestor, False, NoEventMask, &reply);
}

// Puts the requested form of the selection on the requestor's property; the property, or None when refused.
unsigned long X11Clipboard::writeReply(const XEvent& request) const
{
    Display* display = m_connection.display();
    const XSelectionRequestEvent& asked = request.xselectionrequest;
    const auto owned = m_owned.find(asked.selection);
    if (owned == m_owned.end())
        return None;
    // Clients older than ICCCM 2 name no property and expect the target's name to be used.
    const Atom property = asked.property != None ? asked.property : asked.target;
    if (asked.target == m_atoms.targets) {
        const Atom targets[] { m_atoms.targets, m_atoms.timestamp, m_atoms.utf8String, m_atoms.plainUtf8,
            m_atoms.string, m_atoms.text };
        XChangeProperty(display, asked.requestor, property, XA_ATOM, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(targets), std::size(targets));
        return property;
    }
    if (asked.target == m_atoms.timestamp) {
        const long since = long(owned->second.since);
        XChangeProperty(display, asked.requestor, property, XA_INTEGER, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(&since), 1);
        return property;
    }
    QByteArray bytes;
    Atom type = None;
    if (asked.target == m_atoms.utf8String || asked.target == m_atoms.text || asked.target == m_atoms.plainUtf8) {
        bytes = owned->second.utf8;
        type = asked.target == m_atoms.plainUtf8 ? m_atoms.plainUtf8 : m_atoms.utf8String;
    } else if (asked.target == m_atoms.string) {
        bytes = QString::fromUtf8(owned->second.utf8).toLatin1();
        type = XA_STRING;
    } else {
        return None;
    }
    // A transcript never comes near the limit; refusing beats an incremental transfer nobody needs.
    if (bytes.size() > largestProperty(display))
        return None;
    XChangeProperty(display, asked.requestor, property, type, 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
    return property;
}

} // namespace kavo
