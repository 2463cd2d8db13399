#pragma once

#include <QString>

namespace kavo {

/// Starting the application when the user logs in, through an XDG autostart entry.
class LoginItem
{
public:
    /// ~/.config/autostart/kavo-voice.desktop, under $XDG_CONFIG_HOME when that is set.
    static QString filePath();
    /// Writes (on) or removes (off) the autostart entry for `program`; a failure is logged. Returns whether the
    /// entry is now in effect, which is what the settings screen shows.
    static bool set(bool on, const QString& program);
    /// An entry exists and is neither hidden nor disabled for GNOME.
    static bool isEnabled();
};

} // namespace kavo
