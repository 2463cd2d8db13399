#include "permissions_view.h"

#include "state/input_access.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kavo {

PermissionsView::PermissionsView(
    const InputAccess& inputAccess, MicrophoneProbe microphone, bool wayland, QObject* parent)
    : QObject(parent)
    , m_inputAccess(inputAccess)
    , m_microphone(std::move(microphone))
    , m_wayland(wayland)
{
    connect(&inputAccess, &InputAccess::grantedChanged, this, &PermissionsView::inputChanged);
    connect(&m_poll, &QTimer::timeout, this, &PermissionsView::checkMicrophone);
    checkMicrophone();
}

bool PermissionsView::isInputGranted() const
{
    return m_inputAccess.isGranted();
}

QString PermissionsView::inputHelp() const
{
    if (!m_wayland) {
        return tr("The hotkey and typing need the X server's XInput2 and XTEST extensions. Start Kavo Voice in a "
                  "desktop session whose X server has them.");
    }
    return tr("In a Wayland session the hotkey reads the keyboard under /dev/input, and pasting types through "
              "/dev/uinput. Joining the \"input\" group gives that access (and every program you run access to "
              "all input devices); the udev rule shipped with Kavo Voice gives the person at the computer access "
              "to keyboards and /dev/uinput only. Then log out and back in.");
}

QString PermissionsView::command() const
{
    return m_wayland ? QStringLiteral("sudo usermod -aG input $USER") : QString();
}

void PermissionsView::checkMicrophone()
{
    const bool granted = m_microphone();
    if (granted == m_microphoneGranted)
        return;
    m_microphoneGranted = granted;
    Q_EMIT microphoneChanged();
}

void PermissionsView::watchMicrophone(std::chrono::milliseconds interval)
{
    checkMicrophone();
    m_poll.start(interval);
}

void PermissionsView::copyCommand() const
{
    QGuiApplication::clipboard()->setText(command());
}

} // namespace kavo
