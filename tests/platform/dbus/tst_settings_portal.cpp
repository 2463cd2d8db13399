#include "platform/dbus/settings_portal.h"
#include "support/fake_settings_portal.h"
#include "support/palette.h"
#include "support/table_rows.h"
#include "support/test_services.h"
#include "ui/kavo/appearance.h"

#include <QSignalSpy>
#include <QTest>

#include <QCoroTask>

using namespace kavo;
using kavo::test::FakeSettingsPortal;
using kavo::test::row;
using Settings = QList<FakeSettingsPortal::Setting>;

namespace {

const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString gnomeGroup = QStringLiteral("org.gnome.desktop.interface");
const QString kdeGroup = QStringLiteral("org.kde.kdeglobals.KDE");

FakeSettingsPortal::Version versionNamed(const QString& portal)
{
    return portal == "Read" ? FakeSettingsPortal::Version::readOnly : FakeSettingsPortal::Version::withReadOne;
}

} // namespace

class SettingsPortalTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The desktop's preference decides the automatic appearance; where the portal states none, or there is no
    // portal, the palette does. -1 stands for a portal without the setting.
    void automaticAppearance_data()
    {
        test::columns<QString, int, bool, bool>({ "portal", "colorScheme", "darkPalette", "dark" });
        row("prefers dark", "ReadOne", 1, false, true);
        row("prefers light over a dark palette", "ReadOne", 2, true, false);
        row("no preference", "ReadOne", 0, true, true);
        row("unknown value", "ReadOne", 7, false, false);
        row("no such setting", "ReadOne", -1, true, true);
        row("older portal with Read only", "Read", 1, false, true);
        row("no portal, dark palette", "none", 0, true, true);
        row("no portal, light palette", "none", 0, false, false);
    }

    void automaticAppearance()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [portal, colorScheme, darkPalette, dark]
            = test::fetch<QString, int, bool, bool>({ "portal", "colorScheme", "darkPalette", "dark" });
        test::usePalette(darkPalette);
        std::optional<FakeSettingsPortal> fake;
        if (portal != "none") {
            fake.emplace(
                colorScheme < 0 ? Settings() : Settings { { appearanceGroup, "color-scheme", uint(colorScheme) } },
                versionNamed(portal));
            QVERIFY2(fake->isRegistered(), qPrintable(fake->errorString()));
        }
        SettingsPortal settingsPortal;
        Appearance appearance(&settingsPortal);
        appearance.setTheme(ThemeMode::automatic);
        QCoro::waitFor(settingsPortal.start());
        QCOMPARE(appearance.isDark(), dark);
    }

    // A portal that starts later is read; its changes come through: of the appearance's colour scheme, and only
    // those, and of the settings that ask for reduced motion, which stays reduced while any of them asks. When it
    // goes away, the palette decides again, and a new palette at once, and motion is no longer reduced.
    void followsThePortal()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::usePalette(false);
        SettingsPortal settingsPortal;
        Appearance appearance(&settingsPortal);
        appearance.setTheme(ThemeMode::automatic);
        QCoro::waitFor(settingsPortal.start());
        QSignalSpy changes(&appearance, &Appearance::darkChanged);
        QSignalSpy motionChanges(&settingsPortal, &SettingsPortal::reduceMotionChanged);

        std::optional<FakeSettingsPortal> fake(std::in_place,
            Settings { { appearanceGroup, "color-scheme", 1u }, { kdeGroup, "AnimationDurationFactor", 0.0 } });
        QVERIFY2(fake->isRegistered(), qPrintable(fake->errorString()));
        QTRY_VERIFY(appearance.isDark());
        QTRY_VERIFY(settingsPortal.reduceMotion());

        fake->change(gnomeGroup, "color-scheme", 2u);
        fake->change(gnomeGroup, "enable-animations", true);
        fake->change(appearanceGroup, "color-scheme", 1u);
        fake->change(appearanceGroup, "color-scheme", 2u);
        QTRY_VERIFY(!appearance.isDark());
        QCOMPARE(changes.count(), 2);
        QVERIFY(settingsPortal.reduceMotion());
        fake->change(kdeGroup, "AnimationDurationFactor", QStringLiteral("1"));
        QTRY_VERIFY(!settingsPortal.reduceMotion());
        fake->change(appearanceGroup, "reduced-motion", 1u);
        QTRY_VERIFY(settingsPortal.reduceMotion());

        test::usePalette(true);
        QVERIFY(!appearance.isDark());
        fake.reset();
        QTRY_VERIFY(appearance.isDark());
        QVERIFY(!settingsPortal.reduceMotion());
        QCOMPARE(motionChanges.count(), 4);
        test::usePalette(false);
        QVERIFY(!appearance.isDark());
        QCOMPARE(changes.count(), 4);
    }

    // Each setting that can ask for reduced motion, alone; without an answer, motion is not reduced.
    void reduceMotion_data()
    {
        test::columns<QString, QString, QString, QVariant, bool>({ "portal", "group", "key", "value", "reduce" });
        row("no portal", "none", "", "", QVariant(), false);
        row("appearance: reduce", "ReadOne", appearanceGroup, "reduced-motion", QVariant(1u), true);
        row("appearance: no preference", "ReadOne", appearanceGroup, "reduced-motion", QVariant(0u), false);
        row("GNOME without animations", "ReadOne", gnomeGroup, "enable-animations", QVariant(false), true);
        row("GNOME with animations", "ReadOne", gnomeGroup, "enable-animations", QVariant(true), false);
        row("KDE without animations", "ReadOne", kdeGroup, "AnimationDurationFactor", QVariant(0.0), true);
        row("KDE with fast animations", "ReadOne", kdeGroup, "AnimationDurationFactor", QVariant(0.25), false);
        row("KDE without animations, as a string", "ReadOne", kdeGroup, "AnimationDurationFactor", QVariant("0"), true);
        row("older portal with Read only", "Read", gnomeGroup, "enable-animations", QVariant(false), true);
    }

    void reduceMotion()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        const auto [portal, group, key, value, reduce]
            = test::fetch<QString, QString, QString, QVariant, bool>({ "portal", "group", "key", "value", "reduce" });
        std::optional<FakeSettingsPortal> fake;
        if (portal != "none") {
            fake.emplace(Settings { { group, key, value } }, versionNamed(portal));
            QVERIFY2(fake->isRegistered(), qPrintable(fake->errorString()));
        }
        SettingsPortal settingsPortal;
        QCoro::waitFor(settingsPortal.start());
        QCOMPARE(settingsPortal.reduceMotion(), reduce);
    }
};

QTEST_MAIN(SettingsPortalTest)
#include "tst_settings_portal.moc"
