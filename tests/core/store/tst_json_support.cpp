#include "store/calendar.h"
#include "store/json_support.h"
#include "support/table_rows.h"

#include <QJsonObject>
#include <QTest>

using namespace kavo;
using test::row;

class TestJsonSupport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Dates are whole seconds in UTC, identifiers UUIDs without braces; what is read is written back in capitals.
    void parsing_data()
    {
        test::columns<QString, QString, bool>({ "kind", "text", "accepted" });
        row("whole seconds in UTC", "date", "2026-12-04T23:17:17Z", true);
        row("leap day", "date", "2024-02-29T00:00:00Z", true);
        row("fractional seconds", "date", "2026-12-04T23:17:17.250Z", false);
        row("offset instead of Z", "date", "2026-12-04T23:17:17+00:00", false);
        row("no zone", "date", "2026-12-04T23:17:17", false);
        row("lower-case z", "date", "2026-12-04T23:17:17z", false);
        row("space instead of T", "date", "2026-12-04 23:17:17Z", false);
        row("no such day", "date", "2026-02-30T10:00:00Z", false);
        row("no such hour", "date", "2026-12-04T24:00:00Z", false);
        row("trailing space", "date", "2026-12-04T23:17:17Z ", false);
        row("upper case", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C", true);
        row("lower case", "uuid", "6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c", true);
        row("braces", "uuid", "{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C}", false);
        row("no hyphens", "uuid", "6F1C2A9E3B7D4E559A0C1D2E3F4A5B6C", false);
        row("too short", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6", false);
        row("not hexadecimal", "uuid", "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6G", false);
    }

    void parsing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        std::optional<QString> written;
        if (const auto date = json::parseDate(text); kind == "date" && date)
            written = json::dateText(*date);
        if (const auto id = json::parseUuid(text); kind == "uuid" && id)
            written = json::uuidText(*id);
        QCOMPARE(written, accepted ? std::optional(text.toUpper()) : std::nullopt);
    }

    void dateTextIsUtcWithWholeSeconds()
    {
        const QDateTime tashkent(QDate(2026, 12, 5), QTime(4, 17, 17, 900), QTimeZone("Asia/Tashkent"));
        QCOMPARE(json::dateText(tashkent), QStringLiteral("2026-12-04T23:17:17Z"));
    }

    void calendarWeeks_data()
    {
        // Instants as ISO text; 2026-12-06 is a Sunday.
        test::columns<QString, int, QString>({ "now", "firstDayOfWeek", "weekStart" });
        row("Sunday, weeks from Monday", "2026-12-06T23:59:00+05:00", int(Qt::Monday), "2026-11-30");
        row("Sunday, weeks from Sunday", "2026-12-06T00:00:00+05:00", int(Qt::Sunday), "2026-12-06");
        row("Monday across a month", "2026-12-01T08:00:00+05:00", int(Qt::Monday), "2026-11-30");
        row("UTC instant read in the calendar's zone", "2026-11-29T20:00:00Z", int(Qt::Monday), "2026-11-30");
    }

    void calendarWeeks()
    {
        QFETCH(QString, now);
        QFETCH(int, firstDayOfWeek);
        QFETCH(QString, weekStart);
        const QDateTime instant = QDateTime::fromString(now, Qt::ISODate);
        const QDate first = QDate::fromString(weekStart, Qt::ISODate);
        const Calendar calendar { QTimeZone("Asia/Tashkent"), Qt::DayOfWeek(firstDayOfWeek) };
        const auto week = calendar.week(instant);
        QVERIFY(week);
        QCOMPARE(week->start, first.startOfDay(calendar.timeZone));
        QCOMPARE(week->end, first.addDays(7).startOfDay(calendar.timeZone));
        QVERIFY(week->contains(instant));
        QVERIFY(!week->contains(week->end));
    }

    void calendarDaysAcrossDaylightSaving()
    {
        const Calendar berlin { QTimeZone("Europe/Berlin"), Qt::Monday };
        // The clocks went back on 2026-10-25; the day before keeps the same clock time.
        const QDateTime after(QDate(2026, 10, 26), QTime(9, 30), berlin.timeZone);
        const QDateTime before = berlin.addingDays(after, -2);
        QCOMPARE(before.toTimeZone(berlin.timeZone).time(), QTime(9, 30));
        QCOMPARE(before.toTimeZone(berlin.timeZone).date(), QDate(2026, 10, 24));
        QCOMPARE(before.secsTo(after), qint64(2 * 24 * 3600 + 3600));
        const QDateTime earlyOnTheChangeDay(QDate(2026, 10, 25), QTime(0, 10), berlin.timeZone);
        QVERIFY(berlin.isSameDay(QDateTime(QDate(2026, 10, 25), QTime(22, 30), Qt::UTC), earlyOnTheChangeDay));
        QVERIFY(!berlin.isSameDay(QDateTime(QDate(2026, 10, 25), QTime(23, 30), Qt::UTC), earlyOnTheChangeDay));
        QCOMPARE(berlin.startOfDay(after), QDateTime(QDate(2026, 10, 26), QTime(0, 0), berlin.timeZone));

        // Santiago's 2024-09-08 began at 01:00: half past midnight of that day does not exist.
        const Calendar santiago { QTimeZone("America/Santiago"), Qt::Monday };
        const QDateTime nextNight(QDate(2024, 9, 9), QTime(0, 30), santiago.timeZone);
        QCOMPARE(santiago.addingDays(nextNight, -1).toTimeZone(santiago.timeZone).date(), QDate(2024, 9, 8));
    }
};

QTEST_GUILESS_MAIN(TestJsonSupport)
#include "tst_json_support.moc"
