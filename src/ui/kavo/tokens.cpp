#include "tokens.h"

#include "appearance.h"
#include "typeface.h"

#include <QFontDatabase>
#include <QJSEngine>

namespace kavo {

QPointer<Tokens> Tokens::s_instance;

Tokens::Tokens(const Appearance& appearance, QObject* parent)
    : QObject(parent)
    , m_appearance(appearance)
{
    connect(&appearance, &Appearance::darkChanged, this, &Tokens::appearanceChanged);
}

void Tokens::setInstance(Tokens* tokens)
{
    s_instance = tokens;
}

Tokens* Tokens::create(QQmlEngine*, QJSEngine*)
{
    Q_ASSERT_X(s_instance, "Tokens::create", "the application sets the design tokens before loading QML");
    // The engine would otherwise delete the application's object with itself.
    QJSEngine::setObjectOwnership(s_instance, QJSEngine::CppOwnership);
    return s_instance;
}

bool Tokens::isDark() const
{
    return m_appearance.isDark();
}

QColor Tokens::foreground(Tone tone) const
{
    switch (tone) {
    case Tone::blue:
        return blue600();
    case Tone::green:
        return green600();
    case Tone::red:
        return red600();
    case Tone::amber:
        return amber600();
    case Tone::purple:
        return purple600();
    case Tone::teal:
        return teal600();
    case Tone::pink:
        return pink500();
    case Tone::neutral:
        return textBody();
    case Tone::white:
        return brand();
    case Tone::brand:
        break;
    }
    return QColor(Qt::white);
}

QString Tokens::face(int weight) const
{
    return Typeface::face(weight).name;
}

QFont Tokens::monospace(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    return font;
}

QFont Tokens::font(int weight, int pixelSize) const
{
    return Typeface::font(weight, pixelSize);
}

QColor Tokens::pick(Swatch light, Swatch dark) const
{
    const Swatch& swatch = isDark() ? dark : light;
    QColor color = QColor::fromRgb(swatch.rgb);
    color.setAlphaF(float(swatch.alpha));
    return color;
}

} // namespace kavo
