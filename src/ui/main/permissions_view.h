#pragma once

#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <functional>

namespace kavo {

class InputAccess;

/// The window shown at launch when access that set-up had is missing again: whether the microphone and the input
/// access are there, what to do about the input access, and the command to copy for it.
class PermissionsView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application opens the permissions window")
    Q_PROPERTY(bool microphoneGranted READ isMicrophoneGranted NOTIFY microphoneChanged)
    Q_PROPERTY(bool inputGranted READ isInputGranted NOTIFY inputChanged)
    Q_PROPERTY(QString inputHelp READ inputHelp CONSTANT)
    Q_PROPERTY(QString command READ command CONSTANT)

public:
    using MicrophoneProbe = std::function<bool()>;
    /// How often the permissions window looks at the microphone again.
    static constexpr std::chrono::seconds microphonePoll { 2 };

    PermissionsView(
        const InputAccess& inputAccess, MicrophoneProbe microphone, bool wayland, QObject* parent = nullptr);

    bool isMicrophoneGranted() const { return m_microphoneGranted; }
    bool isInputGranted() const;
    /// What gives the input access in this session.
    QString inputHelp() const;
    /// The command that gives it, to copy; empty where no command does (an X11 session).
    QString command() const;

    /// Looks at the microphone again now.
    Q_INVOKABLE void checkMicrophone();
    /// Looks at the microphone now and then every `interval` until `stopWatchingMicrophone()`.
    void watchMicrophone(std::chrono::milliseconds interval);
    void stopWatchingMicrophone() { m_poll.stop(); }
    /// Puts the command on the clipboard.
    Q_INVOKABLE void copyCommand() const;
    /// The "Later" and "Done" buttons: the window closes.
    Q_INVOKABLE void finish() { Q_EMIT finished(); }

Q_SIGNALS:
    void microphoneChanged();
    void inputChanged();
    void finished();

private:
    const InputAccess& m_inputAccess;
    MicrophoneProbe m_microphone;
    bool m_wayland;
    bool m_microphoneGranted = false;
    QTimer m_poll;
};

} // namespace kavo
