#include "fake_settings_portal.h"

#include <QDBusConnectionInterface>
#include <QDBusError>

namespace kavo::test {

namespace {

const QString connectionName = QStringLiteral("fake settings portal");
const QString serviceName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");

} // namespace

FakeSettingsPortal::FakeSettingsPortal(const QList<Setting>& settings, Version version)
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
    , m_version(version)
{
    for (const Setting& setting : settings)
        m_settings.insert({ setting.group, setting.key }, setting.value);
    if (!m_bus.isConnected())
        m_error = QStringLiteral("no session bus: ") + m_bus.lastError().message();
    else if (!m_bus.registerObject(
                 objectPath, this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals))
        m_error = QStringLiteral("cannot export the portal: ") + m_bus.lastError().message();
    else if (!m_bus.registerService(serviceName))
        m_error = QStringLiteral("another program owns ") + serviceName;
}

FakeSettingsPortal::~FakeSettingsPortal()
{
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(objectPath);
    QDBusConnection::disconnectFromBus(connectionName);
}

void FakeSettingsPortal::change(const QString& group, const QString& key, const QVariant& value)
{
    m_settings.insert({ group, key }, value);
    Q_EMIT SettingChanged(group, key, QDBusVariant(value));
}

QDBusVariant FakeSettingsPortal::ReadOne(const QString& group, const QString& key)
{
    if (m_version == Version::readOnly) {
        sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method “ReadOne”"));
        return {};
    }
    return QDBusVariant(value(group, key));
}

QDBusVariant FakeSettingsPortal::Read(const QString& group, const QString& key)
{
    return QDBusVariant(QVariant::fromValue(QDBusVariant(value(group, key))));
}

QVariant FakeSettingsPortal::value(const QString& group, const QString& key)
{
    const auto found = m_settings.constFind({ group, key });
    if (found != m_settings.cend())
        return *found;
    sendErrorReply(
        QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("Requested setting not found"));
    return {};
}

} // namespace kavo::test
