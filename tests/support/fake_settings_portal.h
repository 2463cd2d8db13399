#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QMap>
#include <QObject>
#include <QVariant>

#include <utility>

namespace kavo::test {

/// The freedesktop settings portal on the test process's session bus, over a connection of its own so that calls
/// go through the bus: it answers for the settings it is given, that any other is not found, and announces changed
/// ones with SettingChanged. Owns org.freedesktop.portal.Desktop while it lives.
class FakeSettingsPortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    enum class Version { withReadOne, readOnly };

    struct Setting
    {
        QString group;
        QString key;
        QVariant value; ///< Sent as the D-Bus type of what it holds.
    };

    explicit FakeSettingsPortal(const QList<Setting>& settings = {}, Version version = Version::withReadOne);
    ~FakeSettingsPortal() override;

    /// True once the portal owns its name; else `errorString()` says why not.
    bool isRegistered() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    /// Sets a setting, new or not, and announces its value.
    void change(const QString& group, const QString& key, const QVariant& value);

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key);
    QDBusVariant Read(const QString& group, const QString& key);

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    /// The setting's value; for a setting it does not have, an invalid one and a NotFound error as the reply.
    QVariant value(const QString& group, const QString& key);

    QDBusConnection m_bus;
    QMap<std::pair<QString, QString>, QVariant> m_settings;
    Version m_version;
    QString m_error;
};

} // namespace kavo::test
