#include "appearance.h"

#include "session/desktop_color_scheme.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace kavo {

Appearance::Appearance(DesktopColorScheme* desktop, QObject* parent)
    : QObject(parent)
    , m_desktop(desktop)
{
    if (desktop)
        connect(desktop, &DesktopColorScheme::preferenceChanged, this, &Appearance::update);
    // The application announces a new palette (a desktop theme change) to itself with this event.
    qApp->installEventFilter(this);
    m_dark = resolve();
}

void Appearance::setTheme(ThemeMode theme)
{
    m_theme = theme;
    update();
}

bool Appearance::isDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

bool Appearance::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        update();
    return QObject::eventFilter(watched, event);
}

bool Appearance::resolve() const
{
    switch (m_theme) {
    case ThemeMode::light:
        return false;
    case ThemeMode::dark:
        return true;
    case ThemeMode::automatic:
        break;
    }
    const auto preference = m_desktop ? m_desktop->preference() : DesktopColorScheme::Preference::none;
    if (preference != DesktopColorScheme::Preference::none)
        return preference == DesktopColorScheme::Preference::dark;
    return isDarkPalette(QGuiApplication::palette());
}

void Appearance::update()
{
    const bool dark = resolve();
    if (dark == m_dark)
        return;
    m_dark = dark;
    Q_EMIT darkChanged();
}

} // namespace kavo
