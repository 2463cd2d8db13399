#include "support/palette.h"
#include "support/table_rows.h"
#include "ui/kavo/appearance.h"
#include "ui/kavo/icon_provider.h"
#include "ui/kavo/qml_engine.h"
#include "ui/kavo/tokens.h"
#include "ui/kavo/typeface.h"

#include <QFontInfo>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>

using namespace kavo;
using kavo::test::row;

namespace {

QColor translucent(const char* name, double alpha)
{
    QColor color(name);
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

class KavoModuleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(Typeface::registerFaces(), QStringList()); }

    // A change of appearance is one signal for all tokens; the two-valued ones change with it, the fixed ones not.
    void themeSwitch_data()
    {
        test::columns<ThemeMode, ThemeMode, bool, bool>({ "from", "to", "darkPalette", "dark" });
        row("light to dark", ThemeMode::light, ThemeMode::dark, false, true);
        row("dark to light", ThemeMode::dark, ThemeMode::light, true, false);
        row("dark to automatic, light palette", ThemeMode::dark, ThemeMode::automatic, false, false);
        row("light to automatic, dark palette", ThemeMode::light, ThemeMode::automatic, true, true);
        row("dark to dark", ThemeMode::dark, ThemeMode::dark, false, true);
    }

    void themeSwitch()
    {
        const auto [from, to, darkPalette, dark]
            = test::fetch<ThemeMode, ThemeMode, bool, bool>({ "from", "to", "darkPalette", "dark" });
        test::usePalette(darkPalette);
        Appearance appearance;
        Tokens tokens(appearance);
        appearance.setTheme(from);
        const QColor background = tokens.bgApp();
        const QList<QColor> fixed { tokens.blue600(), tokens.borderFocus(), tokens.brand() };
        QSignalSpy changes(&tokens, &Tokens::appearanceChanged);
        appearance.setTheme(to);
        const bool switched = (from == ThemeMode::dark) != dark;
        QCOMPARE(changes.count(), switched ? 1 : 0);
        QCOMPARE(tokens.isDark(), dark);
        QCOMPARE(tokens.bgApp() != background, switched);
        QCOMPARE(tokens.bgApp(), QColor(dark ? "#0D1118" : "#F5F7FA"));
        QCOMPARE((QList<QColor> { tokens.blue600(), tokens.borderFocus(), tokens.brand() }), fixed);
    }

    // Tokens as QML reads them, including translucent ones and aliases, and the foreground of each tone.
    void colors_data()
    {
        test::columns<QString, bool, QColor>({ "token", "dark", "color" }); // "tone N": the foreground of tone N
        row("overlay, light", "surfaceOverlay", false, translucent("#111522", 0.4));
        row("overlay, dark", "surfaceOverlay", true, translucent("#000000", 0.55));
        row("brand press", "brandPress", true, QColor("#1E40AF"));
        row("green, light", u"tone %1"_qs.arg(int(Tone::green)), false, QColor("#079455"));
        row("green, dark", u"tone %1"_qs.arg(int(Tone::green)), true, QColor("#2FC47E"));
        row("neutral is body text", u"tone %1"_qs.arg(int(Tone::neutral)), true, QColor("#CBD1DB"));
        row("white is brand", u"tone %1"_qs.arg(int(Tone::white)), false, QColor("#2563EB"));
        row("brand is white", u"tone %1"_qs.arg(int(Tone::brand)), true, QColor("#FFFFFF"));
    }

    void colors()
    {
        const auto [token, dark] = test::fetch<QString, bool>({ "token", "dark" });
        Appearance appearance;
        appearance.setTheme(dark ? ThemeMode::dark : ThemeMode::light);
        const Tokens tokens(appearance);
        const QColor color = token.startsWith(u"tone ") ? tokens.foreground(Tone(token.mid(5).toInt()))
                                                        : tokens.property(qPrintable(token)).value<QColor>();
        QTEST(color, "color");
    }

    // The registered faces draw each weight; any weight without a face of its own draws regular.
    void faces_data()
    {
        test::columns<int, QString, int>({ "weight", "face", "drawnWeight" });
        row("regular", int(QFont::Normal), "Onest-Regular", int(QFont::Normal));
        row("semibold", int(QFont::DemiBold), "Onest-SemiBold", int(QFont::DemiBold));
        row("bold", int(QFont::Bold), "Onest-Bold", int(QFont::Bold));
        row("heavy", int(QFont::Black), "Onest-Regular", int(QFont::Normal));
    }

    void faces()
    {
        const auto [weight, face, drawnWeight] = test::fetch<int, QString, int>({ "weight", "face", "drawnWeight" });
        Appearance appearance;
        const Tokens tokens(appearance);
        QCOMPARE(tokens.face(weight), face);
        const QFontInfo drawn(tokens.font(weight, 14));
        QCOMPARE(drawn.family(), "Onest");
        QCOMPARE(drawn.weight(), drawnWeight);
        QCOMPARE(drawn.pixelSize(), 14);
    }

    // Every pixel the icon covers fully has the colour asked for; a missing width or height follows the other.
    void icons_data()
    {
        test::columns<QString, QSize, QSize, QColor>({ "id", "requested", "size", "color" });
        row("mic, brand", "mic?color=#2563eb", QSize(48, 48), QSize(48, 48), QColor("#2563EB"));
        row("encoded colour, own size", "sparkles?color=%23F04438", QSize(), QSize(24, 24), QColor("#F04438"));
        row("translucent, width only", "globe?color=#80079455", QSize(32, 0), QSize(32, 32),
            translucent("#079455", 128 / 255.0));
        row("no colour, height only", "send", QSize(0, 40), QSize(40, 40), QColor(Qt::black));
    }

    void icons()
    {
        const auto [id, requested, size, color]
            = test::fetch<QString, QSize, QSize, QColor>({ "id", "requested", "size", "color" });
        QSize reported;
        const QImage image
            = IconProvider().requestImage(id, &reported, requested).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), size);
        QCOMPARE(reported, size);
        int covered = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                QVERIFY(pixel.alpha() <= color.alpha());
                if (pixel.alpha() == color.alpha() && ++covered)
                    QCOMPARE(pixel, color);
            }
        }
        QVERIFY(covered > size.width());
    }

    void unknownIcon()
    {
        QTest::ignoreMessage(QtWarningMsg, "No icon named \"no-such-icon\"");
        QVERIFY(IconProvider().requestImage("no-such-icon?color=#2563eb", nullptr, QSize(24, 24)).isNull());
    }

    // The module loads in an engine; a bound colour follows the appearance and icons come from the provider.
    void qmlModule()
    {
        Appearance appearance;
        Tokens tokens(appearance);
        Tokens::setInstance(&tokens);
        QQmlEngine engine;
        prepareQmlEngine(engine);
        QQmlComponent component(&engine);
        component.setData(R"(
            import QtQuick
            import Kavo
            Item {
                property color background: Tokens.bgApp
                property color tint: Tokens.foreground(1)
                property alias icon: icon
                property alias label: label
                KavoIcon { id: icon; name: "mic"; color: Tokens.brand; size: 32 }
                KavoText { id: label; text: "Kavo"; weight: Font.DemiBold }
            })",
            QUrl());
        const std::unique_ptr<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        QCOMPARE(root->property("background").value<QColor>(), tokens.bgApp());
        QCOMPARE(root->property("tint").value<QColor>(), tokens.green600());
        appearance.setTheme(ThemeMode::dark);
        QCOMPARE(root->property("background").value<QColor>(), QColor("#0D1118"));

        const auto* icon = root->property("icon").value<QObject*>();
        QCOMPARE(icon->property("status").toInt(), 1); // Image.Ready
        QCOMPARE(icon->property("implicitWidth").toReal(), 32.0);
        const QFont font = root->property("label").value<QObject*>()->property("font").value<QFont>();
        QCOMPARE(font.family(), "Onest");
        QCOMPARE(font.weight(), QFont::DemiBold);
    }
};

QTEST_MAIN(KavoModuleTest)
#include "tst_kavo.moc"
