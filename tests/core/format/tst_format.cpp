#include "format/app_glyph.h"
#include "format/format.h"
#include "store/history.h"
#include "store/interface_language.h"
#include "support/data_folder.h"
#include "support/table_rows.h"

#include <QTest>

#include <cmath>

using namespace kavo;
using kavo::test::row;

namespace {

const QTimeZone tashkent("Asia/Tashkent");
const QTimeZone newYork("America/New_York");
const QTimeZone losAngeles("America/Los_Angeles");

// "yyyy-MM-dd HH:mm" on the clocks of the zone.
QDateTime at(const QString& text, const QTimeZone& zone = QTimeZone::utc())
{
    const QDateTime clock = QDateTime::fromString(text, u"yyyy-MM-dd HH:mm"_qs);
    return QDateTime(clock.date(), clock.time(), zone);
}

} // namespace

class FormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::useTemporaryDataFolder(); }

    void cleanup() { InterfaceLanguage::install(QStringLiteral("en")); }

    // Integers are grouped; seconds have one decimal, rounded as printf rounds the binary value: 1.25 and 0.75
    // are exact halves and go to the even digit, 1.35 is slightly above its half and 0.15 slightly below.
    void numbers_data()
    {
        test::columns<QString, double, QString, QString, QString>(
            { "language", "value", "number", "seconds", "words" });
        row("en, exact half down", "en", 1234567.25, "1,234,567", "1234567.2", "1,234,567 words");
        row("en, exact half up", "en", 0.75, "0", "0.8", "0 words");
        row("en, above half", "en", 1.35, "1", "1.4", "1 words");
        row("en, below half", "en", 0.15, "0", "0.1", "0 words");
        row("en, negative", "en", -1234567.0, "-1,234,567", "-1234567.0", "-1,234,567 words");
        row("ru", "ru", 1234567.06, "1 234 567", "1234567,1", "1 234 567 слов");
        row("ru, one", "ru", 21.0, "21", "21,0", "21 слово");
        row("ru, few", "ru", 3.0, "3", "3,0", "3 слова");
        row("ru, many", "ru", 11.0, "11", "11,0", "11 слов");
        row("uz", "uz", 12345.0, "12 345", "12345,0", "12 345 soʻz");
    }

    void numbers()
    {
        const auto [language, value, seconds]
            = test::fetch<QString, double, QString>({ "language", "value", "seconds" });
        InterfaceLanguage::install(language);
        QTEST(Format::number(qint64(value)), "number");
        QTEST(Format::wordCount(qint64(value)), "words");
        QCOMPARE(Format::seconds(value), Format::tr("%1 s").arg(seconds));
    }

    // Dates and times are shown in the given zone, whatever zone they were written in.
    void dates_data()
    {
        test::columns<QString, QDateTime, QTimeZone, QString, QString, QString>(
            { "language", "date", "zone", "shortDate", "longDate", "time" });
        row("en, 24 hours", "en", at("2024-12-04 08:05"), tashkent, "Dec 4", "Dec 4, 2024", "13:05");
        row("ru", "ru", at("2024-12-04 08:05"), tashkent, "4 дек.", "4 дек. 2024\u202Fг.", "13:05");
        row("uz", "uz", at("2024-12-04 08:05"), tashkent, "4-dek", "4-dek, 2024", "13:05");
        row("uz, new year in the zone", "uz", at("2024-12-31 19:07"), tashkent, "1-yan", "1-yan, 2025", "00:07");
        row("en, summer time", "en", at("2024-07-04 16:45"), newYork, "Jul 4", "Jul 4, 2024", "12:45");
    }

    void dates()
    {
        const auto [language, date, zone] = test::fetch<QString, QDateTime, QTimeZone>({ "language", "date", "zone" });
        InterfaceLanguage::install(language);
        QTEST(Format::shortDate(date, zone), "shortDate");
        QTEST(Format::longDate(date, zone), "longDate");
        QTEST(Format::time(date, zone), "time");
    }

    // Days are those of the calendar's zone; the day alone is what comes before the comma.
    void day_data()
    {
        test::columns<QTimeZone, QString, QString, QString>({ "zone", "now", "date", "dayAndTime" });
        row("today", tashkent, "2024-12-04 18:00", "2024-12-04 00:00", "Today, 00:00");
        row("yesterday late", tashkent, "2024-12-05 00:05", "2024-12-04 23:59", "Yesterday, 23:59");
        row("two days ago", tashkent, "2024-12-05 00:05", "2024-12-03 23:59", "Dec 3");
        row("tomorrow", tashkent, "2024-12-05 00:05", "2024-12-06 09:00", "Dec 6");
        row("a year ago", tashkent, "2024-12-05 00:05", "2023-12-05 09:00", "Dec 5");
        row("zone decides", losAngeles, "2024-12-04 23:00", "2024-12-04 01:00", "Today, 01:00");
        // The day before is 23 hours long: 24 hours before now lies two calendar days back.
        row("after spring forward", newYork, "2024-03-11 00:30", "2024-03-10 00:10", "Yesterday, 00:10");
        row("before spring forward", newYork, "2024-03-11 00:30", "2024-03-09 23:50", "Mar 9");
    }

    void day()
    {
        const auto [zone, now, date, dayAndTime]
            = test::fetch<QTimeZone, QString, QString, QString>({ "zone", "now", "date", "dayAndTime" });
        const Calendar calendar { zone, Qt::Monday };
        const QDateTime utcDate = at(date, zone).toUTC(), utcNow = at(now, zone).toUTC();
        QCOMPARE(Format::dayAndTime(utcDate, utcNow, calendar), dayAndTime);
        QCOMPARE(Format::day(utcDate, utcNow, calendar), dayAndTime.section(u", "_qs, 0, 0));
    }

    void duration_data()
    {
        test::columns<double, QString>({ "seconds", "expected" });
        row("negative", -3.0, "0:00");
        row("not a number", std::nan(""), "0:00");
        row("just under a minute", 59.99, "0:59");
        row("rounded down", 83.9, "1:23");
        row("over an hour", 3725.5, "62:05");
    }

    void duration()
    {
        QFETCH(double, seconds);
        QTEST(Format::duration(seconds), "expected");
    }

    // IDs are matched by prefix, whatever their letter case: GNOME's Decoder is no code editor.
    void icon_data()
    {
        test::columns<QString, QString, QString>({ "source", "ids", "icon" }); // IDs: "-" for none
        row("phone, with or without ID", "phone", "- org.telegram.desktop", "smartphone green");
        row("none, unknown, look-alike", "mac", "- com.example.x org.gnome.Decoder", "app-window neutral");
        row("code", "mac", "com.apple.dt.Xcode code-oss jetbrains-idea", "code teal");
        row("globe", "mac", "Com.Google.Chrome.Canary firefox", "globe neutral");
    }

    void icon()
    {
        const auto [source, ids, icon] = test::fetch<QString, QString, QString>({ "source", "ids", "icon" });
        for (const QString& id : ids.split(u' ')) {
            const AppGlyph::Icon chosen = AppGlyph::icon(id == u"-"_qs ? std::nullopt : std::optional(id), source);
            QCOMPARE(QString(id + u": " + chosen.name + u' ' + rawValue(chosen.tone)), QString(id + u": " + icon));
        }
    }

    void appName()
    {
        HistoryEntry entry;
        QCOMPARE(AppGlyph::name(entry), u"Kavo Voice"_qs);
        entry.appName = QString();
        QCOMPARE(AppGlyph::name(entry), u"Kavo Voice"_qs);
        entry.appName = u"Telegram"_qs;
        QCOMPARE(AppGlyph::name(entry), u"Telegram"_qs);
        entry.source = u"phone"_qs;
        QCOMPARE(AppGlyph::name(entry), u"From phone"_qs);
    }
};

QTEST_GUILESS_MAIN(FormatTest)
#include "tst_format.moc"
