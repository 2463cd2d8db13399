#include "desktop_session.h"

namespace kavo {

DesktopSession desktopSession(const QProcessEnvironment& environment)
{
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE"));
    if (type == QLatin1String("wayland"))
        return DesktopSession::wayland;
    if (type == QLatin1String("x11"))
        return DesktopSession::x11;
    if (!environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return DesktopSession::wayland;
    if (!environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return DesktopSession::x11;
    return DesktopSession::none;
}

} // namespace kavo
