#pragma once

#include "session/desktop_color_scheme.h"

#include <QCoroTask>
#include <QDBusServiceWatcher>

class QDBusVariant;

namespace kavo {

/// The desktop's colour-scheme preference from the freedesktop settings portal on the session bus, kept up to date
/// by the portal's change signal. Without a portal, or with one that states no preference, the preference is none.
/// Nothing waits on the bus: every call is asynchronous.
class SettingsPortal : public DesktopColorScheme
{
    Q_OBJECT

public:
    explicit SettingsPortal(QObject* parent = nullptr);

    /// Listens for changes and reads the current preference; finishes once the portal answered, or could not.
    /// A portal that starts later (portals are often started on demand) is read when it appears.
    QCoro::Task<> start();

    Preference preference() const override { return m_preference; }

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    QCoro::Task<> read();
    void setPreference(Preference preference);

    Preference m_preference = Preference::none;
    QDBusServiceWatcher m_watcher;
};

} // namespace kavo
