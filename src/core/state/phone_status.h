#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QtQmlIntegration/qqmlintegration.h>

#include <chrono>

namespace kavo {

/// How the phone link stands: whether its server listens, the addresses the phone and automation shortcuts use,
/// its last error and when the phone page was last in touch. Main thread only.
class PhoneStatus : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the phone link")
    Q_PROPERTY(bool running READ isRunning NOTIFY runningChanged)
    Q_PROPERTY(QStringList phoneURLs READ phoneURLs NOTIFY phoneURLsChanged)
    Q_PROPERTY(QStringList shortcutURLs READ shortcutURLs NOTIFY shortcutURLsChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(QDateTime lastSeen READ lastSeen NOTIFY lastSeenChanged)

public:
    /// How long after its last contact the phone still counts as connected.
    static constexpr auto contactWindow = std::chrono::seconds(45);

    using QObject::QObject;

    bool isRunning() const { return m_running; }
    void setRunning(bool running);
    /// The HTTPS addresses for the phone, with the token.
    QStringList phoneURLs() const { return m_phoneURLs; }
    void setPhoneURLs(const QStringList& urls);
    /// The plain HTTP addresses for automation shortcuts.
    QStringList shortcutURLs() const { return m_shortcutURLs; }
    void setShortcutURLs(const QStringList& urls);
    QString error() const { return m_error; }
    void setError(const QString& error);
    /// When the phone page last contacted the server; invalid when it has not.
    QDateTime lastSeen() const { return m_lastSeen; }
    void setLastSeen(const QDateTime& date);

    /// The phone page was in touch less than `contactWindow` before `now`.
    Q_INVOKABLE bool isConnected(const QDateTime& now = QDateTime::currentDateTime()) const;

Q_SIGNALS:
    void runningChanged();
    void phoneURLsChanged();
    void shortcutURLsChanged();
    void errorChanged();
    void lastSeenChanged();

private:
    bool m_running = false;
    QStringList m_phoneURLs;
    QStringList m_shortcutURLs;
    QString m_error;
    QDateTime m_lastSeen;
};

} // namespace kavo
