#include "hotkey_kind.h"

#include "hotkey/input_events.h"

namespace kavo {

HotkeyChord HotkeyKinds::chord(HotkeyKind kind)
{
    using namespace ModifierFlag;
    switch (kind) {
    case HotkeyKind::control:
        return { control, shift | option | command, false };
    case HotkeyKind::controlFn:
        return { control | function, shift | option | command, false };
    case HotkeyKind::fn:
        return { function, shift | control | option | command, false };
    case HotkeyKind::rightCommand:
        return { command, shift | control | option, true };
    case HotkeyKind::controlOption:
        return { control | option, shift | command, false };
    }
    Q_UNREACHABLE();
}

QString HotkeyKinds::label(HotkeyKind kind)
{
    switch (kind) {
    case HotkeyKind::control:
        return QStringLiteral("Control");
    case HotkeyKind::controlFn:
        return QStringLiteral("Control + Super");
    case HotkeyKind::fn:
        return QStringLiteral("Super");
    case HotkeyKind::rightCommand:
        return tr("Right Super");
    case HotkeyKind::controlOption:
        return QStringLiteral("Control + Alt");
    }
    Q_UNREACHABLE();
}

} // namespace kavo
