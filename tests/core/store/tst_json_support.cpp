#include "store/calendar.h"
#include "store/json_support.h"

#include <QJsonObject>
#include <QTest>

using namespace kavo;

class TestJsonSupport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("whole seconds in UTC") << "2026-12-04T23:17:17Z" << true;
        QTest::newRow("leap day") << "2024-02-29T00:00:00Z" << true;
        QTest::newRow("fractional seconds") << "2026-12-04T23:17:17.250Z" << false;
        QTest::newRow("offset instead of Z") << "2026-12-04T23:17:17+00:00" << false;
        QTest::newRow("no zone") << "2026-12-04T23:17:17" << false;
        QTest::newRow("lower-case z") << "2026-12-04T23:17:17z" << false;
        QTest::newRow("space instead of T") << "2026-12-04 23:17:17Z" << false;
        QTest::newRow("no such day") << "2026-02-30T10:00:00Z" << false;
        QTest::newRow("no such hour") << "2026-12-04T24:00:00Z" << false;
        QTest::newRow("date only") << "2026-12-04" << false;
        QTest::newRow("trailing space") << "2026-12-04T23:17:17Z " << false;
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto date = json::parseDate(text);
        QCOMPARE(date.has_value(), accepted);
        if (accepted)
            QCOMPARE(json::dateText(*date), text);
    }

    void dateTextIsUtcWithWholeSeconds()
    {
        const QDateTime tashkent(QDate(2026, 12, 5), QTime(4, 17, 17, 900), QTimeZone("Asia/Tashkent"));
        QCOMPARE(json::dateText(tashkent), QStringLiteral("2026-12-04T23:17:17Z"));
    }

    void uuids_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("upper case") << "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C" << true;
        QTest::newRow("lower case") << "6f1c2a9e-3b7d-4e55-9a0c-1d2e3f4a5b6c" << true;
        QTest::newRow("braces") << "{6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6C}" << false;
        QTest::newRow("no hyphens") << "6F1C2A9E3B7D4E559A0C1D2E3F4A5B6C" << false;
        QTest::newRow("too short") << "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6" << false;
        QTest::newRow("not hexadecimal") << "6F1C2A9E-3B7D-4E55-9A0C-1D2E3F4A5B6G" << false;
    }

    void uuids()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto id = json::parseUuid(text);
        QCOMPARE(id.has_value(), accepted);
        if (accepted)
            QCOMPARE(json::uuidText(*id), text.toUpper());
    }

    void calendarWeeks_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("firstDayOfWeek");
        QTest::addColumn<QDate>("weekStart");

        const QTimeZone tashkent("Asia/Tashkent");
        // 2026-12-06 is a Sunday.
        QTest::newRow("Sunday, weeks from Monday")
            << QDateTime(QDate(2026, 12, 6), QTime(23, 59), tashkent) << int(Qt::Monday) << QDate(2026, 11, 30);
        QTest::newRow("Sunday, weeks from Sunday")
            << QDateTime(QDate(2026, 12, 6), QTime(0, 0), tashkent) << int(Qt::Sunday) << QDate(2026, 12, 6);
        QTest::newRow("Monday across a month")
            << QDateTime(QDate(2026, 12, 1), QTime(8, 0), tashkent) << int(Qt::Monday) << QDate(2026, 11, 30);
        QTest::newRow("UTC instant read in the calendar's zone")
            << QDateTime(QDate(2026, 11, 29), QTime(20, 0), Qt::UTC) << int(Qt::Monday) << QDate(2026, 11, 30);
    }

    void calendarWeeks()
    {
        QFETCH(QDateTime, now);
        QFETCH(int, firstDayOfWeek);
        QFETCH(QDate, weekStart);
        const Calendar calendar { QTimeZone("Asia/Tashkent"), Qt::DayOfWeek(firstDayOfWeek) };
        const auto week = calendar.week(now);
        QVERIFY(week);
        QCOMPARE(week->start, weekStart.startOfDay(calendar.timeZone));
        QCOMPARE(week->end, weekStart.addDays(7).startOfDay(calendar.timeZone));
        QVERIFY(week->contains(now));
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
