#include "injection_backend.h"

#include "input/wayland_injection_backend.h"
#include "input/x11_injection_backend.h"

namespace kavo {

std::unique_ptr<InjectionBackend> InjectionBackend::forSession()
{
    if (sessionKind(QProcessEnvironment::systemEnvironment()) == SessionKind::wayland)
        return std::make_unique<WaylandInjectionBackend>();
    return X11InjectionBackend::create();
}

SessionKind sessionKind(const QProcessEnvironment& environment)
{
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE"));
    if (type == QLatin1String("x11"))
        return SessionKind::x11;
    if (type == QLatin1String("wayland") || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return SessionKind::wayland;
    return SessionKind::x11;
}

} // namespace kavo
