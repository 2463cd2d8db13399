#pragma once

#include "session/desktop_color_scheme.h"

#include <QCoroTask>
#include <QDBusServiceWatcher>

#include <bitset>

class QDBusVariant;

namespace kavo {

/// The desktop's colour-scheme and reduce-motion preferences from the freedesktop settings portal on the session
/// bus, kept up to date by the portal's change signal. Motion is reduced when any of the settings that can say so
/// does: the appearance's "reduced-motion", GNOME's "enable-animations" or KDE's "AnimationDurationFactor". Without a
/// portal, or with one that states no preference, the colour scheme is none and motion is not reduced.
/// Nothing waits on the bus: every call is asynchronous.
class SettingsPortal : public DesktopColorScheme
{
    Q_OBJECT

public:
    explicit SettingsPortal(QObject* parent = nullptr);

    /// Listens for changes and reads the current preferences; finishes once the portal answered, or could not.
    /// A portal that starts later (portals are often started on demand) is read when it appears.
    QCoro::Task<> start();

    Preference preference() const override { return m_preference; }

    /// True while the desktop asks for animations to be kept to a minimum.
    bool reduceMotion() const { return m_motionReducedBy.any(); }

Q_SIGNALS:
    void reduceMotionChanged();

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    QCoro::Task<> read();
    void setPreference(Preference preference);
    void setMotionReducedBy(std::size_t setting, bool reduced);
    void clearPreferences();

    Preference m_preference = Preference::none;
    std::bitset<3> m_motionReducedBy; ///< Which of the motion settings ask for reduced motion.
    QDBusServiceWatcher m_watcher;
};

} // namespace kavo
