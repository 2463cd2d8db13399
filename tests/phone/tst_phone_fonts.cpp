#include "phone/phone_fonts.h"
#include "support/table_rows.h"

#include <QTest>

using namespace kavo;
using test::row;

class PhoneFontsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The four faces are served as TrueType files straight from the program's resources, without a copy; nothing
    // else is, whatever the name.
    void fonts_data()
    {
        test::columns<QString, bool>({ "name", "served" });
        row("regular", "Onest-Regular.ttf", true);
        row("medium", "Onest-Medium.ttf", true);
        row("semibold", "Onest-SemiBold.ttf", true);
        row("bold", "Onest-Bold.ttf", true);
        row("another face", "Onest-Light.ttf", false);
        row("the resource's own name", "Onest_700Bold.ttf", false);
        row("a path", "../fonts/Onest_700Bold.ttf", false);
    }

    void fonts()
    {
        const auto [name, served] = test::fetch<QString, bool>({ "name", "served" });
        const std::optional<QByteArray> font = PhoneFonts::font(name);
        QCOMPARE(font.has_value(), served);
        if (!served)
            return;
        QVERIFY(font->size() > 10000);
        QCOMPARE(font->first(4), QByteArray("\x00\x01\x00\x00", 4));
        QCOMPARE(
            static_cast<const void*>(PhoneFonts::font(name)->constData()), static_cast<const void*>(font->constData()));
    }
};

QTEST_GUILESS_MAIN(PhoneFontsTest)
#include "tst_phone_fonts.moc"
