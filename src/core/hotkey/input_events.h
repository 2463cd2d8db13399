#pragma once

#include <QObject>
#include <QString>

namespace kavo {

/// Modifier flags as the hotkey logic reads them, with the values the hotkey settings were defined with: Shift,
/// Control, Alt, right Super, and Super (left Super, or an Fn key the kernel reports).
namespace ModifierFlag {
inline constexpr quint32 shift = 0x20000;
inline constexpr quint32 control = 0x40000;
inline constexpr quint32 alt = 0x80000;
inline constexpr quint32 rightSuper = 0x100000;
inline constexpr quint32 super = 0x800000;
inline constexpr quint32 all = shift | control | alt | rightSuper | super;
} // namespace ModifierFlag

/// Key codes the hotkey logic looks for. Other keys carry `otherKeyBase` + their evdev code, which never
/// collides with these.
namespace HotkeyKeyCode {
inline constexpr int escape = 53;
inline constexpr int rightSuper = 54;
inline constexpr int otherKeyBase = 1000;
} // namespace HotkeyKeyCode

/// A modifier went down or up: the flags after the change, and the key that changed.
struct FlagsEvent
{
    quint32 flags = 0;
    int keyCode = 0;
};

/// A key that is not a modifier went down, or a mouse button was pressed.
struct PressEvent
{
    enum class Type { keyDown, mouseDown };
    Type type = Type::keyDown;
    int keyCode = 0; ///< for key-downs
};

/// A system-wide source of keyboard and mouse events for the hotkey: X11 or the kernel's input devices.
/// Events arrive on the main thread.
class InputEventSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    /// Starts watching. False when the input cannot be read; `problem()` then says why.
    virtual bool start() = 0;
    virtual void stop() = 0;
    /// Empty while the input can be read; otherwise why not and what the user can do about it.
    virtual QString problem() const = 0;

Q_SIGNALS:
    /// A modifier went down or up.
    void flagsChanged(const kavo::FlagsEvent& event);
    /// A key that is not a modifier went down, or a mouse button was pressed.
    void pressed(const kavo::PressEvent& event);
};

} // namespace kavo
