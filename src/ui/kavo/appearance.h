#pragma once

#include "store/config.h"

#include <QObject>
#include <QPointer>

class QPalette;

namespace kavo {

class DesktopColorScheme;

/// Whether the interface draws light or dark: by the `theme` setting, and for `automatic` by the desktop's
/// preference, or where the desktop states none, by the lightness of the application palette. Follows changes of
/// all three. Made after the QGuiApplication, whose palette changes it watches.
class Appearance : public QObject
{
    Q_OBJECT

public:
    /// `desktop` may be null, or go away before this object: the palette decides then.
    explicit Appearance(DesktopColorScheme* desktop = nullptr, QObject* parent = nullptr);

    ThemeMode theme() const { return m_theme; }
    void setTheme(ThemeMode theme);

    bool isDark() const { return m_dark; }

    /// True when the palette draws light text on a darker window.
    static bool isDarkPalette(const QPalette& palette);

Q_SIGNALS:
    void darkChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool resolve() const;
    void update();

    QPointer<DesktopColorScheme> m_desktop;
    ThemeMode m_theme = ThemeMode::light;
    bool m_dark = false;
};

} // namespace kavo
