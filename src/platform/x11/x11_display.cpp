#include "x11_display.h"

#include <X11/Xlib.h>

namespace kavo {

void DisplayCloser::operator()(Display* display) const
{
    XCloseDisplay(display);
}

void XFreeDeleter::operator()(void* data) const
{
    XFree(data);
}

} // namespace kavo
