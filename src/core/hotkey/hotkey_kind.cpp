#include "hotkey_kind.h"

#include "hotkey/input_events.h"

namespace kavo {

HotkeyChord HotkeyKinds::chord(HotkeyKind kind)
{
    using namespace ModifierFlag;
    switch (kind) {
    case HotkeyKind::control:
        return { control, shift | alt | rightSuper, false };
    case HotkeyKind::controlSuper:
        return { control | super, shift | alt | rightSuper, false };
    case HotkeyKind::super:
        return { super, shift | control | alt | rightSuper, false };
    case HotkeyKind::rightSuper:
        return { rightSuper, shift | control | alt, true };
    case HotkeyKind::controlAlt:
        return { control | alt, shift | rightSuper, false };
    }
    Q_UNREACHABLE();
}

QString HotkeyKinds::label(HotkeyKind kind)
{
    switch (kind) {
    case HotkeyKind::control:
        return QStringLiteral("Control");
    case HotkeyKind::controlSuper:
        return QStringLiteral("Control + Super");
    case HotkeyKind::super:
        return QStringLiteral("Super");
    case HotkeyKind::rightSuper:
        return tr("Right Super");
    case HotkeyKind::controlAlt:
        return QStringLiteral("Control + Alt");
    }
    Q_UNREACHABLE();
}

} // namespace kavo
