#include "settings_observer.h"

#include "settings.h"

namespace kavo {

SettingsObserver::SettingsObserver(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(quietSpell);
    connect(&settings, &Settings::changed, &m_timer, qOverload<>(&QTimer::start));
    connect(&m_timer, &QTimer::timeout, this, &SettingsObserver::saveAndApply);
}

void SettingsObserver::flush()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    saveAndApply();
}

void SettingsObserver::saveAndApply()
{
    m_settings.save();
    Q_EMIT applyRequested();
}

} // namespace kavo
