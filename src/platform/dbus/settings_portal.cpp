#include "settings_portal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QPointer>

#include <QCoroDBusPendingCall>

#include <array>

namespace kavo {

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

/// A setting that can ask for reduced motion, and whether a value of it does.
struct MotionSetting
{
    QString group;
    QString key;
    bool (*reduces)(const QVariant& value);
};

const std::array<MotionSetting, 3> motionSettings { {
    // 1 asks for reduced motion, 0 states no preference.
    { appearanceGroup, QStringLiteral("reduced-motion"), [](const QVariant& value) { return value.toUInt() == 1; } },
    { QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"),
        [](const QVariant& value) { return value.typeId() == QMetaType::Bool && !value.toBool(); } },
    // A factor on the length of animations, 0 for none; KDE's portal may send it as a string.
    { QStringLiteral("org.kde.kdeglobals.KDE"), QStringLiteral("AnimationDurationFactor"),
        [](const QVariant& value) {
            bool isNumber = false;
            return value.toDouble(&isNumber) == 0.0 && isNumber;
        } },
} };

// ReadOne answers with the value in one variant, the older Read with the value in a variant in a variant.
QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

/// The value of a setting; invalid where the portal has no such setting, or there is no portal.
QCoro::Task<QVariant> readSetting(QString group, QString key)
{
    const auto ask = [&](const QString& method) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, objectPath, interface, method);
        message << group << key;
        return QDBusConnection::sessionBus().asyncCall(message);
    };
    QDBusPendingCall call = ask(QStringLiteral("ReadOne"));
    co_await call;
    // Portals before version 2 have only Read.
    if (call.isError() && call.error().type() == QDBusError::UnknownMethod) {
        call = ask(QStringLiteral("Read"));
        co_await call;
    }
    const QDBusMessage reply = call.reply();
    co_return call.isError() || reply.arguments().isEmpty() ? QVariant() : unwrapped(reply.arguments().constFirst());
}

DesktopColorScheme::Preference preferenceOf(const QVariant& value)
{
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
    static_assert(motionSettings.size() == decltype(m_motionReducedBy)().size());
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { read(); });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &SettingsPortal::clearPreferences);
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
    // The portal sends its replies and its change signals in order: each answer is taken as it comes, so it is
    // never older than a change already seen.
    QPointer self(this);
    const QVariant colorScheme = co_await readSetting(appearanceGroup, colorSchemeKey);
    if (!self)
        co_return;
    setPreference(preferenceOf(colorScheme));
    for (std::size_t i = 0; i < motionSettings.size(); ++i) {
        const QVariant value = co_await readSetting(motionSettings[i].group, motionSettings[i].key);
        if (!self)
            co_return;
        setMotionReducedBy(i, motionSettings[i].reduces(value));
    }
}

void SettingsPortal::settingChanged(const QString& group, const QString& key, const QDBusVariant& value)
{
    const QVariant newValue = unwrapped(value.variant());
    if (group == appearanceGroup && key == colorSchemeKey)
        setPreference(preferenceOf(newValue));
    for (std::size_t i = 0; i < motionSettings.size(); ++i) {
        if (group == motionSettings[i].group && key == motionSettings[i].key)
            setMotionReducedBy(i, motionSettings[i].reduces(newValue));
    }
}

void SettingsPortal::setPreference(Preference preference)
{
    if (preference == m_preference)
        return;
    m_preference = preference;
    Q_EMIT preferenceChanged();
}

void SettingsPortal::setMotionReducedBy(std::size_t setting, bool reduced)
{
    const bool wasReduced = reduceMotion();
    m_motionReducedBy.set(setting, reduced);
    if (reduceMotion() != wasReduced)
        Q_EMIT reduceMotionChanged();
}

void SettingsPortal::clearPreferences()
{
    setPreference(Preference::none);
    for (std::size_t i = 0; i < motionSettings.size(); ++i)
        setMotionReducedBy(i, false);
}

} // namespace kavo
