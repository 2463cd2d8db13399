#include "modifier_state.h"

#include "hotkey/injected_keys.h"

#include <linux/input-event-codes.h>

namespace kavo {

quint32 ModifierState::flagOf(int evdevCode)
{
    switch (evdevCode) {
    case KEY_LEFTSHIFT:
    case KEY_RIGHTSHIFT:
        return ModifierFlag::shift;
    case KEY_LEFTCTRL:
    case KEY_RIGHTCTRL:
        return ModifierFlag::control;
    case KEY_LEFTALT:
    case KEY_RIGHTALT:
        return ModifierFlag::alt;
    case KEY_RIGHTMETA:
        return ModifierFlag::rightSuper;
    case KEY_LEFTMETA:
    case KEY_FN:
        return ModifierFlag::super;
    default:
        return 0;
    }
}

int ModifierState::hotkeyKeyCode(int evdevCode)
{
    switch (evdevCode) {
    case KEY_ESC:
        return HotkeyKeyCode::escape;
    case KEY_RIGHTMETA:
        return HotkeyKeyCode::rightSuper;
    default:
        return HotkeyKeyCode::otherKeyBase + evdevCode;
    }
}

quint32 ModifierState::flags() const
{
    quint32 flags = 0;
    for (const int code : m_down)
        flags |= flagOf(code);
    return flags;
}

std::optional<ModifierState::Event> ModifierState::press(int evdevCode)
{
    if (m_down.contains(evdevCode))
        return std::nullopt;
    m_down.insert(evdevCode);
    if (flagOf(evdevCode) == 0)
        return PressEvent { PressEvent::Type::keyDown, hotkeyKeyCode(evdevCode) };
    return FlagsEvent { flags(), hotkeyKeyCode(evdevCode) };
}

std::optional<ModifierState::Event> ModifierState::release(int evdevCode)
{
    if (!m_down.remove(evdevCode) || flagOf(evdevCode) == 0)
        return std::nullopt;
    return FlagsEvent { flags(), hotkeyKeyCode(evdevCode) };
}

void ModifierState::clear()
{
    m_down.clear();
}

void deliverKey(InputEventSource& source, ModifierState& modifiers, int evdevCode, bool press)
{
    if (InjectedKeys::instance().consume(evdevCode, press))
        return;
    const std::optional<ModifierState::Event> event = press ? modifiers.press(evdevCode) : modifiers.release(evdevCode);
    if (!event)
        return;
    if (const auto* flags = std::get_if<FlagsEvent>(&*event))
        Q_EMIT source.flagsChanged(*flags);
    else
        Q_EMIT source.pressed(std::get<PressEvent>(*event));
}

} // namespace kavo
