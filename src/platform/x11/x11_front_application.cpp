#include "x11_front_application.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kavo {

namespace {

std::optional<unsigned long> cardinalProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, type,
        &actualType, &format, &count, &remaining, &data);
    const XFreed<unsigned char> freed(data);
    if (status != Success || !data || actualType != type || format != 32 || count != 1)
        return std::nullopt;
    return *reinterpret_cast<unsigned long*>(data);
}

} // namespace

FrontApp X11FrontApplication::current()
{
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return {};
    const Window root = DefaultRootWindow(display.get());
    const std::optional<unsigned long> active = cardinalProperty(display.get(), root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active || *active == None)
        return {};
    const auto window = Window(*active);
    // The active window may be gone by the time it is asked about; that answers nothing rather than ending the process.
    X11ErrorTrap trap(display.get());

    QString wmInstance, wmClass;
    XClassHint hint {};
    if (XGetClassHint(display.get(), window, &hint)) {
        const XFreed<char> instanceName(hint.res_name), className(hint.res_class);
        wmInstance = QString::fromLocal8Bit(instanceName.get());
        wmClass = QString::fromLocal8Bit(className.get());
    }
    std::optional<qint64> pid;
    if (const std::optional<unsigned long> property
        = cardinalProperty(display.get(), window, "_NET_WM_PID", XA_CARDINAL))
        pid = qint64(*property);
    if (!trap.succeeded())
        return {};
    return FrontApplication::ofWindow(wmInstance, wmClass, pid);
}

} // namespace kavo
