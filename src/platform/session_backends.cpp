#include "session_backends.h"

#include "platform/dbus/mpris_players.h"
#include "platform/evdev/evdev_input_source.h"
#include "platform/evdev/wayland_injection_backend.h"
#include "platform/evdev/wl_clipboard.h"
#include "platform/gui_clipboard.h"
#include "platform/pulse/audio_outputs.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_front_application.h"
#include "platform/x11/x11_injection_backend.h"
#include "platform/x11/x11_input_source.h"
#include "platform/x11/x11_media_key.h"
#include "session/desktop_session.h"
#include "store/log.h"

#include <QCoreApplication>

#include <unistd.h>

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

/// Nowhere to put the text: neither an X server nor wl-copy.
class NoClipboard : public Clipboard
{
public:
    QCoro::Task<std::optional<QString>> text(ClipboardSelection) override { co_return std::nullopt; }
    QCoro::Task<> setText(ClipboardSelection, QString) override { co_return; }
};

// The X clipboard of this process; served by Qt in a Qt GUI application.
std::unique_ptr<Clipboard> servedByQt(std::unique_ptr<Clipboard> x11)
{
    if (GuiClipboard::isAvailable())
        return std::make_unique<GuiClipboard>(std::move(x11));
    return x11;
}

// A Wayland session's clipboard: XWayland's when there is one, else the wl-clipboard tools'.
std::unique_ptr<Clipboard> waylandClipboard()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (auto clipboard = X11Clipboard::open())
            return servedByQt(std::move(clipboard));
    }
    auto wlClipboard = std::make_unique<WlClipboard>();
    if (wlClipboard->isAvailable())
        return wlClipboard;
    Log::write(QStringLiteral("the clipboard cannot be set: no X server and no wl-copy"));
    return std::make_unique<NoClipboard>();
}

} // namespace

std::unique_ptr<InputEventSource> SessionBackends::hotkeySource()
{
    switch (desktopSession()) {
    case DesktopSession::x11:
        return std::make_unique<X11InputSource>();
    case DesktopSession::wayland:
        return std::make_unique<EvdevInputSource>();
    case DesktopSession::none:
        break;
    }
    return std::make_unique<NoSessionSource>();
}

bool SessionBackends::hasInputAccess()
{
    const std::unique_ptr<InputEventSource> source = hotkeySource();
    if (!source->start())
        return false;
    source->stop();
    switch (desktopSession()) {
    case DesktopSession::x11:
        return X11InjectionBackend::create() != nullptr;
    case DesktopSession::wayland:
        return access("/dev/uinput", W_OK) == 0;
    case DesktopSession::none:
        break;
    }
    return false;
}

QString SessionBackends::inputProblem()
{
    const std::unique_ptr<InputEventSource> source = hotkeySource();
    source->start();
    QString problem = source->problem();
    source->stop();
    return problem;
}

std::unique_ptr<InjectionBackend> SessionBackends::injectionBackend()
{
    switch (desktopSession()) {
    case DesktopSession::x11:
        return X11InjectionBackend::create(servedByQt);
    case DesktopSession::wayland:
        return std::make_unique<WaylandInjectionBackend>(waylandClipboard());
    case DesktopSession::none:
        break;
    }
    Log::write(QStringLiteral("text cannot be delivered: there is no desktop session"));
    return nullptr;
}

std::unique_ptr<FrontAppSource> SessionBackends::frontApplication()
{
    return std::make_unique<X11FrontApplication>();
}

std::unique_ptr<MediaControl> SessionBackends::mediaControl(QObject* parent)
{
    return std::make_unique<MediaControl>(std::make_unique<MprisPlayers>(), std::make_unique<PulseAudioOutputs>(),
        std::make_unique<X11MediaKey>(), parent);
}

} // namespace kavo
