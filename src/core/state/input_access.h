#pragma once

#include <QObject>
#include <QTimer>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>
#include <functional>

namespace kavo {

/// Whether the hotkey can see the keyboard and text can be typed (the X server's input extensions, or the
/// keyboards and /dev/uinput in a Wayland session), and the wait for that access when it is missing.
class InputAccess : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application checks the input access")
    Q_PROPERTY(bool granted READ isGranted NOTIFY grantedChanged)

public:
    using Probe = std::function<bool()>;
    static constexpr std::chrono::seconds pollInterval { 2 };

    explicit InputAccess(Probe probe, QObject* parent = nullptr);

    bool isGranted() const { return m_granted; }
    bool isWaiting() const { return m_poll.isActive(); }
    /// Reads the access now and logs it; without it, asks again every two seconds until it comes.
    void check();
    /// What the user reads while the application waits.
    static QString waitingMessage();

Q_SIGNALS:
    void grantedChanged();
    /// The access is there, at a check or while waiting: the hotkey can start.
    void accessGranted();

private:
    void poll();
    void setGranted(bool granted);

    Probe m_probe;
    bool m_granted = false;
    QTimer m_poll;
};

} // namespace kavo
