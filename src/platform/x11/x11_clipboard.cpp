#include "x11_clipboard.h"

#include "platform/x11/x11_connection.h"

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

    std::optional<QString> text(ClipboardSelection selection) override { return m_clipboard.text(selection); }
    void setText(ClipboardSelection selection, const QString& text) override { m_clipboard.setText(selection, text); }

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

X11Clipboard::X11Clipboard(X11Connection& connection)
    : m_connection(connection)
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

std::optional<QString> X11Clipboard::text(ClipboardSelection selection)
{
    const Atom atom = selectionAtom(selection);
    const Window owner = XGetSelectionOwner(m_connection.display(), atom);
    if (owner == None)
        return std::nullopt;
    if (owner == m_window) {
        // Asking ourselves through the server would wait for an answer only this thread can give.
        const auto owned = m_owned.find(atom);
        return owned == m_owned.end() ? std::nullopt : std::optional(QString::fromUtf8(owned->second.utf8));
    }
    Conversion conversion = convert(atom, m_atoms.utf8String);
    if (conversion.answered && !conversion.text)
        conversion = convert(atom, m_atoms.string);
    return conversion.text;
}

void X11Clipboard::setText(ClipboardSelection selection, const QString& text)
{
    Display* display = m_connection.display();
    const Atom atom = selectionAtom(selection);
    const Time now = serverTime();
    m_owned[atom] = { text.toUtf8(), now };
    XSetSelectionOwner(display, atom, m_window, now);
    if (XGetSelectionOwner(display, atom) != m_window)
        m_owned.erase(atom);
}

X11Clipboard::Conversion X11Clipboard::convert(unsigned long selection, unsigned long target)
{
    Display* display = m_connection.display();
    XDeleteProperty(display, m_window, m_atoms.transfer);
    XConvertSelection(display, selection, target, m_atoms.transfer, m_window, CurrentTime);
    XEvent event;
    const bool answered = m_connection.waitFor(
        [&](const XEvent& candidate) {
            return candidate.type == SelectionNotify && candidate.xselection.requestor == m_window
                && candidate.xselection.selection == selection && candidate.xselection.target == target;
        },
        replyTimeout, event);
    if (!answered)
        return {};
    if (event.xselection.property == None)
        return { true, std::nullopt };
    Atom type = None;
    std::optional<QByteArray> bytes = readTransfer(type);
    if (bytes && type == m_atoms.incr)
        bytes = receiveIncrementally();
    if (!bytes)
        return { true, std::nullopt };
    return { true, type == XA_STRING ? QString::fromLatin1(*bytes) : QString::fromUtf8(*bytes) };
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
    if (status != Success || type == None) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    std::optional<QByteArray> bytes;
    if (format == 8)
        bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(items));
    else if (type == m_atoms.incr)
        bytes = QByteArray();
    XFree(data);
    return bytes;
}

std::optional<QByteArray> X11Clipboard::receiveIncrementally()
{
    QByteArray text;
    for (;;) {
        XEvent event;
        const bool arrived = m_connection.waitFor(
            [&](const XEvent& candidate) {
                return candidate.type == PropertyNotify && candidate.xproperty.window == m_window
                    && candidate.xproperty.atom == m_atoms.transfer && candidate.xproperty.state == PropertyNewValue;
            },
            replyTimeout, event);
        if (!arrived)
            return std::nullopt;
        Atom type = None;
        const std::optional<QByteArray> piece = readTransfer(type);
        if (!piece)
            return std::nullopt;
        if (piece->isEmpty())
            return text;
        text += *piece;
    }
}

// A selection is taken with a real server time rather than CurrentTime, so that clients can order the owners. The
// time comes with the notification of a zero-length change to a property of our own window.
unsigned long X11Clipboard::serverTime()
{
    Display* display = m_connection.display();
    XChangeProperty(display, m_window, m_atoms.clock, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    const bool arrived = m_connection.waitFor(
        [&](const XEvent& candidate) {
            return candidate.type == PropertyNotify && candidate.xproperty.window == m_window
                && candidate.xproperty.atom == m_atoms.clock;
        },
        replyTimeout, event);
    return arrived ? event.xproperty.time : CurrentTime;
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
