#include "x11_floating_window.h"

#include <QGuiApplication>
#include <QRect>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <vector>

namespace kavo {

namespace {

constexpr unsigned long allDesktops = 0xFFFFFFFF;

std::vector<Atom> windowStates(Display* display, Window window, Atom stateAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<Atom> states;
    if (XGetWindowProperty(
            display, window, stateAtom, 0, 1024, False, XA_ATOM, &type, &format, &count, &remaining, &data)
            == Success
        && data) {
        if (type == XA_ATOM && format == 32) {
            const auto* atoms = reinterpret_cast<const Atom*>(data);
            states.assign(atoms, atoms + count);
        }
        XFree(data);
    }
    return states;
}

} // namespace

std::unique_ptr<X11FloatingWindowSystem> X11FloatingWindowSystem::create()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return nullptr;
    return std::unique_ptr<X11FloatingWindowSystem>(
        new X11FloatingWindowSystem(x11->display(), DefaultScreen(x11->display())));
}

X11FloatingWindowSystem::X11FloatingWindowSystem(_XDisplay* display, int screen)
    : m_display(display)
    , m_screen(screen)
{ }

void X11FloatingWindowSystem::keepAside(QWindow& window)
{
    const Window id = window.winId();
    // Before the window is mapped its state is a plain property, which Qt adds its own states to when it shows it.
    const Atom stateAtom = XInternAtom(m_display, "_NET_WM_STATE", False);
    std::vector<Atom> states = windowStates(m_display, id, stateAtom);
    for (const char* name : { "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER" }) {
        const Atom state = XInternAtom(m_display, name, False);
        if (std::find(states.begin(), states.end(), state) == states.end())
            states.push_back(state);
    }
    XChangeProperty(m_display, id, stateAtom, XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(states.data()), int(states.size()));
    XChangeProperty(m_display, id, XInternAtom(m_display, "_NET_WM_DESKTOP", False), XA_CARDINAL, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(&allDesktops), 1);
    XFlush(m_display);
}

bool X11FloatingWindowSystem::isComposited()
{
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(m_screen);
    return XGetSelectionOwner(m_display, XInternAtom(m_display, selection.constData(), False)) != None;
}

void X11FloatingWindowSystem::setInputRegion(QWindow& window, const QRect& region)
{
    XRectangle rectangle { short(region.x()), short(region.y()), ushort(region.width()), ushort(region.height()) };
    XShapeCombineRectangles(m_display, window.winId(), ShapeInput, 0, 0, &rectangle, 1, ShapeSet, Unsorted);
    XFlush(m_display);
}

} // namespace kavo
