#include "settings_portal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QPointer>

#include <QCoroDBusPendingCall>

namespace kavo {

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

QDBusPendingCall ask(const QString& method)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, objectPath, interface, method);
    message << appearanceGroup << colorSchemeKey;
    return QDBusConnection::sessionBus().asyncCall(message);
}

// ReadOne answers with the value in one variant, the older Read with the value in a variant in a variant.
DesktopColorScheme::Preference preferenceOf(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    bool isNumber = false;
    const uint scheme = value.toUInt(&isNumber);
    if (isNumber && scheme == 1)
        return DesktopColorScheme::Preference::dark;
    if (isNumber && scheme == 2)
        return DesktopColorScheme::Preference::light;
    return DesktopColorScheme::Preference::none;
}

} // namespace

SettingsPortal::SettingsPortal(QObject* parent)
    : DesktopColorScheme(parent)
    , m_watcher(service, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { read(); });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setPreference(Preference::none); });
}

QCoro::Task<> SettingsPortal::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return;
    bus.connect(service, objectPath, interface, QStringLiteral("SettingChanged"), this,
        SLOT(settingChanged(QString, QString, QDBusVariant)));
    co_await read();
}

QCoro::Task<> SettingsPortal::read()
{
    QPointer self(this);
    QDBusPendingCall call = ask(QStringLiteral("ReadOne"));
    co_await call;
    // Portals before version 2 have only Read.
    if (call.isError() && call.error().type() == QDBusError::UnknownMethod) {
        call = ask(QStringLiteral("Read"));
        co_await call;
    }
    if (!self)
        co_return;
    // The portal sends its replies and its change signals in order: this answer is never older than a change
    // already seen.
    const QDBusMessage reply = call.reply();
    setPreference(call.isError() || reply.arguments().isEmpty() ? Preference::none
                                                                : preferenceOf(reply.arguments().constFirst()));
}

void SettingsPortal::settingChanged(const QString& group, const QString& key, const QDBusVariant& value)
{
    if (group != appearanceGroup || key != colorSchemeKey)
        return;
    setPreference(preferenceOf(value.variant()));
}

void SettingsPortal::setPreference(Preference preference)
{
    if (preference == m_preference)
        return;
    m_preference = preference;
    Q_EMIT preferenceChanged();
}

} // namespace kavo
