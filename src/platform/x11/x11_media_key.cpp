#include "x11_media_key.h"

#include "hotkey/injected_keys.h"
#include "platform/x11/x11_display.h"

#include <X11/XF86keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace kavo {

namespace {

// X key codes are the kernel's key codes plus 8.
constexpr int evdevOffset = 8;

} // namespace

void X11MediaKey::pressPlayPause()
{
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor))
        return;
    const KeyCode code = XKeysymToKeycode(display.get(), XF86XK_AudioPlay);
    if (code == 0)
        return;
    for (const bool press : { true, false }) {
        InjectedKeys::instance().announce(code - evdevOffset, press);
        XTestFakeKeyEvent(display.get(), code, press, CurrentTime);
    }
    XSync(display.get(), False);
}

} // namespace kavo
