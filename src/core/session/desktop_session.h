#pragma once

#include <QProcessEnvironment>

namespace kavo {

/// The kind of graphical session this process runs in, which decides how the hotkey is read and how text is
/// delivered.
enum class DesktopSession { x11, wayland, none };

/// The session the environment describes: XDG_SESSION_TYPE when it names X11 or Wayland, else (a session started
/// from a console, or no type at all) the display that is set, Wayland's first; none without either.
DesktopSession desktopSession(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace kavo
