#include "x11_front_application.h"

#include "platform/x11/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace kavo {

namespace {

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};

std::optional<unsigned long> cardinalProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, type, &actualType, &format,
            &count, &remaining, &data)
            != Success
        || !data)
        return std::nullopt;
    std::optional<unsigned long> value;
    if (actualType == type && format == 32 && count == 1)
        value = *reinterpret_cast<unsigned long*>(data);
    XFree(data);
    return value;
}

} // namespace

FrontApp X11FrontApplication::current()
{
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
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
        wmInstance = QString::fromLocal8Bit(hint.res_name);
        wmClass = QString::fromLocal8Bit(hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
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
