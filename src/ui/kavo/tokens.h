#pragma once

#include "format/app_glyph.h"
#include "token_table.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QtQmlIntegration/qqmlintegration.h>

class QQmlEngine;
class QJSEngine;

namespace kavo {

class Appearance;

#define KAVO_TOKEN_PROPERTY(name, ...) Q_PROPERTY(QColor name READ name NOTIFY appearanceChanged)
#define KAVO_TOKEN_READER(name, light, dark)                                                                           \
    QColor name() const                                                                                                \
    {                                                                                                                  \
        return pick(light, dark);                                                                                      \
    }
#define KAVO_ALIAS_READER(name, token)                                                                                 \
    QColor name() const                                                                                                \
    {                                                                                                                  \
        return token();                                                                                                \
    }

/// The design tokens: every colour in the light or dark value of the appearance in effect, the tints of icons and
/// the type faces. One object shared by all views; a change of appearance is one signal for every colour, so bound
/// views repaint without being rebuilt.
class Tokens : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    KAVO_COLOR_TOKENS(KAVO_TOKEN_PROPERTY)
    KAVO_ALIAS_TOKENS(KAVO_TOKEN_PROPERTY)
    Q_PROPERTY(QColor textOnBrand READ textOnBrand NOTIFY appearanceChanged)
    Q_PROPERTY(bool dark READ isDark NOTIFY appearanceChanged)
    Q_PROPERTY(int bodyPixelSize READ bodyPixelSize CONSTANT)

public:
    explicit Tokens(const Appearance& appearance, QObject* parent = nullptr);

    /// The object QML's `Tokens` is: set by the application before it loads QML, and kept alive by it.
    static void setInstance(Tokens* tokens);
    static Tokens* create(QQmlEngine* engine, QJSEngine* scriptEngine);

    bool isDark() const;
    /// The size of running text.
    int bodyPixelSize() const { return 14; }

    KAVO_COLOR_TOKENS(KAVO_TOKEN_READER)
    KAVO_ALIAS_TOKENS(KAVO_ALIAS_READER)

    /// The colour an icon of this tint draws in.
    Q_INVOKABLE QColor foreground(kavo::Tone tone) const;
    /// Text and icons on a brand-coloured fill: the brand tone's foreground.
    QColor textOnBrand() const { return foreground(Tone::brand); }
    /// The face name a text of this weight (a Font.weight value) draws with, such as "Onest-SemiBold".
    Q_INVOKABLE QString face(int weight) const;
    /// The font for a text of this weight and size.
    Q_INVOKABLE QFont font(int weight, int pixelSize) const;
    /// The desktop's fixed-width font at this size, for commands and paths.
    Q_INVOKABLE static QFont monospace(int pixelSize);

Q_SIGNALS:
    void appearanceChanged();

private:
    QColor pick(Swatch light, Swatch dark) const;

    const Appearance& m_appearance;
    static QPointer<Tokens> s_instance;
};

#undef KAVO_TOKEN_PROPERTY
#undef KAVO_TOKEN_READER
#undef KAVO_ALIAS_READER

} // namespace kavo
