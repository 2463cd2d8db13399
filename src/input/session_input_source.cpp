#include "session_input_source.h"

#include "input/evdev_input_source.h"
#include "input/x11_input_source.h"

#include <QCoreApplication>

namespace kavo {

namespace {

/// Stands in when there is no session to watch, so the application can say why the hotkey does nothing.
class NoSessionSource : public InputEventSource
{
    Q_DECLARE_TR_FUNCTIONS(NoSessionSource)

public:
    bool start() override { return false; }
    void stop() override { }
    QString problem() const override
    {
        return tr("The hotkey needs an X11 or Wayland desktop session, and none was found.");
    }
};

} // namespace

SessionInputSource::Session SessionInputSource::session(const QProcessEnvironment& environment)
{
    const QString type = environment.value(QStringLiteral("XDG_SESSION_TYPE"));
    if (type == QLatin1String("wayland"))
        return Session::wayland;
    if (type == QLatin1String("x11"))
        return Session::x11;
    if (environment.contains(QStringLiteral("WAYLAND_DISPLAY")))
        return Session::wayland;
    if (environment.contains(QStringLiteral("DISPLAY")))
        return Session::x11;
    return Session::none;
}

std::unique_ptr<InputEventSource> SessionInputSource::make()
{
    switch (session()) {
    case Session::x11:
        return std::make_unique<X11InputSource>();
    case Session::wayland:
        return std::make_unique<EvdevInputSource>();
    case Session::none:
        break;
    }
    return std::make_unique<NoSessionSource>();
}

} // namespace kavo
