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
            fake.emplace(colorScheme < 0 ? std::nullopt : std::optional<uint>(colorScheme),
                portal == "Read" ? FakeSettingsPortal::Version::readOnly : FakeSettingsPortal::Version::withReadOne);
            QVERIFY2(fake->isRegistered(), qPrintable(fake->errorString()));
        }
        SettingsPortal settingsPortal;
        Appearance appearance(&settingsPortal);
        appearance.setTheme(ThemeMode::automatic);
        QCoro::waitFor(settingsPortal.start());
        QCOMPARE(appearance.isDark(), dark);
    }

    // A portal that starts later is read; its changes of the appearance's colour scheme, and only those, come
    // through; when it goes away, the palette decides again, and a new palette at once.
    void followsThePortal()
    {
        KAVO_REQUIRE_TEST_SERVICES();
        test::usePalette(false);
        SettingsPortal settingsPortal;
        Appearance appearance(&settingsPortal);
        appearance.setTheme(ThemeMode::automatic);
        QCoro::waitFor(settingsPortal.start());
        QSignalSpy changes(&appearance, &Appearance::darkChanged);

        std::optional<FakeSettingsPortal> fake(std::in_place, 1u);
        QVERIFY2(fake->isRegistered(), qPrintable(fake->errorString()));
        QTRY_VERIFY(appearance.isDark());

        fake->change(2, QStringLiteral("org.gnome.desktop.interface"));
        fake->change(1);
        fake->change(2);
        QTRY_VERIFY(!appearance.isDark());
        QCOMPARE(changes.count(), 2);

        test::usePalette(true);
        QVERIFY(!appearance.isDark());
        fake.reset();
        QTRY_VERIFY(appearance.isDark());
        test::usePalette(false);
        QVERIFY(!appearance.isDark());
        QCOMPARE(changes.count(), 4);
    }
};

QTEST_MAIN(SettingsPortalTest)
#include "tst_settings_portal.moc"
