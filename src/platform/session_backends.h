#pragma once

#include "apps/front_application.h"
#include "delivery/injection_backend.h"
#include "hotkey/input_events.h"
#include "media/media_control.h"

#include <memory>

class QObject;
class QString;

namespace kavo {

/// The platform services for the desktop session this process runs in (`desktopSession()`): X11's in an X11
/// session, the kernel's input devices and uinput in a Wayland session.
namespace SessionBackends {

/// The hotkey's event source; in a session that is neither, one that never starts and says why.
std::unique_ptr<InputEventSource> hotkeySource();
/// Whether the hotkey can watch the keyboard and text can be typed: the X server's XInput2 and XTEST, or read access to
/// a keyboard under /dev/input and write access to /dev/uinput in a Wayland session.
bool hasInputAccess();
/// Why the hotkey cannot watch the keyboard, in its event source's own words (those `kavo-voice hotkey watch`
/// prints); empty when it can.
QString inputProblem();
/// Text delivery; null (after a log line) when it cannot start.
std::unique_ptr<InjectionBackend> injectionBackend();
/// The focused application, as far as the X display tells it (XWayland windows only in a Wayland session).
std::unique_ptr<FrontAppSource> frontApplication();
/// Media control over MPRIS, the sound server's streams and the X server's media key.
std::unique_ptr<MediaControl> mediaControl(QObject* parent = nullptr);

} // namespace SessionBackends

} // namespace kavo
