#pragma once

#include "store/config.h"

#include <QCoreApplication>
#include <QString>

namespace kavo {

/// The modifier chord of a hotkey kind: the flags that must be down, those that must be up (which also spoil a
/// tap), and whether only the right Super key may complete it.
struct HotkeyChord
{
    quint32 down = 0;
    quint32 up = 0;
    bool rightSuperKey = false;

    /// All `down` flags set and none of `up`; flags outside both (such as Function for most kinds) do not matter.
    bool isDown(quint32 flags) const { return (flags & down) == down && (flags & up) == 0; }
};

class HotkeyKinds
{
    Q_DECLARE_TR_FUNCTIONS(HotkeyKinds)

public:
    static HotkeyChord chord(HotkeyKind kind);
    /// The Linux key names shown for a kind: "Control", "Control + Super", "Super", "Right Super", "Control + Alt".
    static QString label(HotkeyKind kind);
};

} // namespace kavo
