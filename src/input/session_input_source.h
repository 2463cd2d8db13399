#pragma once

#include "input/input_events.h"

#include <QProcessEnvironment>

#include <memory>

namespace kavo {

/// The hotkey's event source for the desktop session: X11's in an X11 session, the kernel's input devices in a
/// Wayland session (where other applications' keys are out of a client's reach), and none elsewhere.
class SessionInputSource
{
public:
    enum class Session { x11, wayland, none };

    static Session session(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    static std::unique_ptr<InputEventSource> make();
};

} // namespace kavo
