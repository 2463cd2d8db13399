#pragma once

#include "hotkey/input_events.h"

#include <QSet>

#include <optional>
#include <variant>

namespace kavo {

/// Turns key presses and releases, named by their evdev codes (X11 key codes are these plus 8), into hotkey events:
/// a flags event when a modifier changes, a press event for any other key going down. It keeps the set of keys
/// that are down, so that a release of a key that is not down, or a repeated press, changes nothing.
class ModifierState
{
public:
    using Event = std::variant<FlagsEvent, PressEvent>;

    std::optional<Event> press(int evdevCode);
    std::optional<Event> release(int evdevCode);
    /// Forgets every key, as when the keyboard went away.
    void clear();

    quint32 flags() const;
    /// The flag an evdev key code stands for; 0 for keys that are not modifiers.
    static quint32 flagOf(int evdevCode);
    /// The key code the hotkey logic sees for an evdev key code.
    static int hotkeyKeyCode(int evdevCode);

private:
    QSet<int> m_down;
};

/// Hands a key the user pressed or released to `source`'s callbacks, through `modifiers`. Keys the application
/// injected itself are dropped.
void deliverKey(InputEventSource& source, ModifierState& modifiers, int evdevCode, bool press);

} // namespace kavo
