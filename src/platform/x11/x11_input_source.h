#pragma once

#include "hotkey/input_events.h"
#include "hotkey/modifier_state.h"

#include <memory>

namespace kavo {

/// The hotkey's events on an X11 desktop: the raw key and button events of every keyboard and pointer, which
/// XInput2 reports to any client that asks, without a grab and whichever window has the focus. The source has a
/// connection of its own to the display in $DISPLAY and reads it on the main thread only when the server has sent
/// something. Callbacks may stop or restart the source, but must not destroy it. Like every Xlib client, the
/// process ends when the X server goes away.
class X11InputSource : public InputEventSource
{
    Q_OBJECT

public:
    X11InputSource();
    ~X11InputSource() override;
    X11InputSource(const X11InputSource&) = delete;
    X11InputSource& operator=(const X11InputSource&) = delete;

    /// Connects to the display; false when it cannot be opened or lacks XInput2 or XTEST (which the text injector
    /// types with). Restarts a running source.
    bool start() override;
    void stop() override;
    QString problem() const override;

private:
    struct Connection;

    void readEvents();

    std::unique_ptr<Connection> m_connection;
    ModifierState m_modifiers;
    QString m_problem;
};

} // namespace kavo
