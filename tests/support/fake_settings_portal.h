#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace kavo::test {

/// The freedesktop settings portal on the test process's session bus, over a connection of its own so that calls
/// go through the bus: it answers the appearance's "color-scheme" with the value it is given and announces new ones
/// with SettingChanged. Owns org.freedesktop.portal.Desktop while it lives.
class FakeSettingsPortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    enum class Version { withReadOne, readOnly };

    /// No colour scheme: the portal answers that the setting is not found.
    explicit FakeSettingsPortal(std::optional<uint> colorScheme, Version version = Version::withReadOne);
    ~FakeSettingsPortal() override;

    /// True once the portal owns its name; else `errorString()` says why not.
    bool isRegistered() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    /// Changes the value and announces it, in the namespace given.
    void change(uint colorScheme, const QString& group = QStringLiteral("org.freedesktop.appearance"));

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key);
    QDBusVariant Read(const QString& group, const QString& key);

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    std::optional<uint> value(const QString& group, const QString& key);

    QDBusConnection m_bus;
    std::optional<uint> m_colorScheme;
    Version m_version;
    QString m_error;
};

} // namespace kavo::test
