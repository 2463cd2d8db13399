#include "fake_settings_portal.h"

#include <QDBusConnectionInterface>
#include <QDBusError>

namespace kavo::test {

namespace {

const QString connectionName = QStringLiteral("fake settings portal");
const QString serviceName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");

} // namespace

FakeSettingsPortal::FakeSettingsPortal(std::optional<uint> colorScheme, Version version)
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
    , m_colorScheme(colorScheme)
    , m_version(version)
{
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

void FakeSettingsPortal::change(uint colorScheme, const QString& group)
{
    if (group == QLatin1String("org.freedesktop.appearance"))
        m_colorScheme = colorScheme;
    Q_EMIT SettingChanged(group, QStringLiteral("color-scheme"), QDBusVariant(colorScheme));
}

QDBusVariant FakeSettingsPortal::ReadOne(const QString& group, const QString& key)
{
    if (m_version == Version::readOnly) {
        sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method “ReadOne”"));
        return {};
    }
    const std::optional<uint> found = value(group, key);
    return found ? QDBusVariant(*found) : QDBusVariant();
}

QDBusVariant FakeSettingsPortal::Read(const QString& group, const QString& key)
{
    const std::optional<uint> found = value(group, key);
    return found ? QDBusVariant(QVariant::fromValue(QDBusVariant(*found))) : QDBusVariant();
}

std::optional<uint> FakeSettingsPortal::value(const QString& group, const QString& key)
{
    if (group == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme") && m_colorScheme)
        return m_colorScheme;
    sendErrorReply(
        QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("Requested setting not found"));
    return std::nullopt;
}

} // namespace kavo::test
