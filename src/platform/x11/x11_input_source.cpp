#include "x11_input_source.h"

#include "platform/x11/x11_display.h"

#include <QSocketNotifier>

#include <optional>

// Xlib's macros (None, Bool, Status...) clash with Qt names, so its headers come after every Qt header.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

namespace kavo {

namespace {

// X key codes are the kernel's evdev codes moved up by 8, the lowest key code the core protocol allows.
constexpr int evdevOffset = 8;
// Buttons 1 to 3 are left, middle and right; 4 to 7 are the steps of the scroll wheels. A middle click pastes the
// primary selection, which is no reason to cancel a dictation.
constexpr int leftButton = 1;
constexpr int rightButton = 3;

struct RawInput
{
    int type = 0;
    int detail = 0; ///< the key code or button number
};

} // namespace

struct X11InputSource::Connection
{
    DisplayPtr display;
    int inputOpcode = 0;
    // Declared last, so that it is gone before the display's socket closes.
    std::unique_ptr<QSocketNotifier> notifier;

    /// The raw input an event of this connection carries, if it is one.
    std::optional<RawInput> take(XEvent& event) const
    {
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != inputOpcode || !XGetEventData(display.get(), &cookie))
            return std::nullopt;
        const RawInput input { cookie.evtype, static_cast<const XIRawEvent*>(cookie.data)->detail };
        XFreeEventData(display.get(), &cookie);
        return input;
    }
};

X11InputSource::X11InputSource() = default;

X11InputSource::~X11InputSource()
{
    stop();
}

bool X11InputSource::start()
{
    stop();
    auto connection = std::make_unique<Connection>();
    connection->display.reset(XOpenDisplay(nullptr));
    Display* display = connection->display.get();
    if (!display) {
        const QString name = QString::fromLocal8Bit(XDisplayName(nullptr));
        m_problem = name.isEmpty()
            ? tr("The hotkey cannot read the keyboard: no X display is set.")
            : tr("The hotkey cannot read the keyboard: the X display %1 cannot be opened.").arg(name);
        return false;
    }

    // 2.1 and later deliver raw events even while another client grabs the keyboard, as an open menu does.
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &connection->inputOpcode, &event, &error)
        || XIQueryVersion(display, &major, &minor) != Success || major < 2) {
        m_problem = tr("The hotkey cannot read the keyboard: the X server lacks the XInput2 extension.");
        return false;
    }
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        m_problem = tr("The hotkey cannot read the keyboard: the X server lacks the XTEST extension.");
        return false;
    }

    unsigned char mask[XIMaskLen(XI_RawButtonPress)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XISetMask(mask, XI_RawKeyRelease);
    XISetMask(mask, XI_RawButtonPress);
    XIEventMask selection { XIAllMasterDevices, sizeof mask, mask };
    XISelectEvents(display, DefaultRootWindow(display), &selection, 1);
    XSync(display, False);

    connection->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    QObject::connect(
        connection->notifier.get(), &QSocketNotifier::activated, connection->notifier.get(), [this] { readEvents(); });
    m_connection = std::move(connection);
    m_problem.clear();
    // Events that arrived during XSync wait in Xlib's queue, where they never make the socket readable.
    readEvents();
    return true;
}

void X11InputSource::stop()
{
    m_connection.reset();
    m_modifiers.clear();
}

QString X11InputSource::problem() const
{
    return m_problem;
}

void X11InputSource::readEvents()
{
    // A callback may stop or restart the source, so the connection is looked up again for every event.
    while (m_connection && XPending(m_connection->display.get()) > 0) {
        XEvent event;
        XNextEvent(m_connection->display.get(), &event);
        const std::optional<RawInput> input = m_connection->take(event);
        if (!input)
            continue;
        switch (input->type) {
        case XI_RawKeyPress:
        case XI_RawKeyRelease:
            kavo::deliverKey(*this, m_modifiers, input->detail - evdevOffset, input->type == XI_RawKeyPress);
            break;
        case XI_RawButtonPress:
            if (input->detail == leftButton || input->detail == rightButton)
                Q_EMIT pressed({ PressEvent::Type::mouseDown });
            break;
        }
    }
}

} // namespace kavo
