#include "store/interface_language.h"
#include "support/data_folder.h"
#include "ui/format.h"

#include <QTest>

#include <cmath>

using namespace kavo;

namespace {

const QTimeZone tashkent("Asia/Tashkent");
const QTimeZone losAngeles("America/Los_Angeles");
const QTimeZone newYork("America/New_York");
// Chile moves its clocks at midnight, so some of its days begin at 01:00.
const QTimeZone santiago("America/Santiago");

QDateTime at(int year, int month, int day, int hour, int minute, const QTimeZone& zone)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), zone);
}

} // namespace

class FormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        test::useTemporaryDataFolder();
        for (const QTimeZone& zone : { tashkent, losAngeles, newYork, santiago })
            QVERIFY(zone.isValid());
    }

    void cleanup() { InterfaceLanguage::install(QStringLiteral("en")); }

    void number_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<qint64>("n");
        QTest::addColumn<QString>("expected");

        QTest::newRow("en seven digits") << "en" << qint64(1234567) << "1,234,567";
        QTest::newRow("en negative") << "en" << qint64(-1234567) << "-1,234,567";
        QTest::newRow("en three digits") << "en" << qint64(999) << "999";
        QTest::newRow("en zero") << "en" << qint64(0) << "0";
        QTest::newRow("en largest") << "en" << std::numeric_limits<qint64>::max() << "9,223,372,036,854,775,807";
        QTest::newRow("ru seven digits") << "ru" << qint64(1234567) << "1 234 567";
        QTest::newRow("ru five digits") << "ru" << qint64(12345) << "12 345";
        QTest::newRow("uz seven digits") << "uz" << qint64(1234567) << "1 234 567";
    }

    void number()
    {
        QFETCH(QString, language);
        QFETCH(qint64, n);
        QFETCH(QString, expected);
        InterfaceLanguage::install(language);
        QCOMPARE(Format::number(n), expected);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QString>("longDate");

        const QDateTime morning = at(2024, 12, 4, 10, 0, QTimeZone::utc());
        QTest::newRow("en") << "en" << morning << tashkent << "Dec 4"
                            << "Dec 4, 2024";
        QTest::newRow("ru") << "ru" << morning << tashkent << "4 дек."
                            << "4 дек. 2024\u202Fг.";
        QTest::newRow("uz") << "uz" << morning << tashkent << "4-dek"
                            << "4-dek, 2024";
        QTest::newRow("uz may") << "uz" << at(2024, 5, 9, 10, 0, QTimeZone::utc()) << tashkent << "9-may"
                                << "9-may, 2024";

        // The same instant lies on different days in different zones.
        const QDateTime evening = at(2024, 12, 4, 21, 30, QTimeZone::utc());
        QTest::newRow("next day east") << "en" << evening << tashkent << "Dec 5"
                                       << "Dec 5, 2024";
        QTest::newRow("same day west") << "en" << evening << losAngeles << "Dec 4"
                                       << "Dec 4, 2024";
        QTest::newRow("new year east") << "uz" << at(2024, 12, 31, 22, 0, QTimeZone::utc()) << tashkent << "1-yan"
                                       << "1-yan, 2025";
    }

    void dates()
    {
        QFETCH(QString, language);
        QFETCH(QDateTime, date);
        QFETCH(QTimeZone, zone);
        QFETCH(QString, shortDate);
        QFETCH(QString, longDate);
        InterfaceLanguage::install(language);
        QCOMPARE(Format::shortDate(date, zone), shortDate);
        QCOMPARE(Format::longDate(date, zone), longDate);
    }

    void time_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QString>("expected");

        QTest::newRow("afternoon") << "en" << at(2024, 12, 4, 13, 5, tashkent) << tashkent << "13:05";
        QTest::newRow("after midnight") << "en" << at(2024, 12, 4, 0, 7, tashkent) << tashkent << "00:07";
        QTest::newRow("other zone") << "en" << at(2024, 12, 4, 8, 0, QTimeZone::utc()) << tashkent << "13:00";
        QTest::newRow("summer time") << "en" << at(2024, 7, 4, 16, 45, QTimeZone::utc()) << newYork << "12:45";
        QTest::newRow("ru") << "ru" << at(2024, 12, 4, 23, 59, tashkent) << tashkent << "23:59";
        QTest::newRow("uz") << "uz" << at(2024, 12, 4, 18, 30, tashkent) << tashkent << "18:30";
    }

    void time()
    {
        QFETCH(QString, language);
        QFETCH(QDateTime, date);
        QFETCH(QTimeZone, zone);
        QFETCH(QString, expected);
        InterfaceLanguage::install(language);
        QCOMPARE(Format::time(date, zone), expected);
    }

    void day_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("dayAndTime");

        const QDateTime afterMidnight = at(2024, 12, 5, 0, 5, tashkent);
        QTest::newRow("today") << tashkent << at(2024, 12, 4, 18, 0, tashkent) << at(2024, 12, 4, 0, 0, tashkent)
                               << "Today"
                               << "Today, 00:00";
        QTest::newRow("yesterday late") << tashkent << afterMidnight << at(2024, 12, 4, 23, 59, tashkent) << "Yesterday"
                                        << "Yesterday, 23:59";
        QTest::newRow("two days ago") << tashkent << afterMidnight << at(2024, 12, 3, 23, 59, tashkent) << "Dec 3"
                                      << "Dec 3";
        QTest::newRow("tomorrow") << tashkent << afterMidnight << at(2024, 12, 6, 9, 0, tashkent) << "Dec 6"
                                  << "Dec 6";
        QTest::newRow("a year ago") << tashkent << afterMidnight << at(2023, 12, 5, 9, 0, tashkent) << "Dec 5"
                                    << "Dec 5";
        // In UTC these two lie on different days; in Los Angeles on the same one.
        QTest::newRow("zone decides") << losAngeles << at(2024, 12, 4, 23, 0, losAngeles)
                                      << at(2024, 12, 4, 1, 0, losAngeles) << "Today"
                                      << "Today, 01:00";

        // The day before is 23 hours long, so 24 hours before now lies two days back.
        const QDateTime afterShortDay = at(2024, 3, 11, 0, 30, newYork);
        QTest::newRow("after spring forward")
            << newYork << afterShortDay << at(2024, 3, 10, 0, 10, newYork) << "Yesterday"
            << "Yesterday, 00:10";
        QTest::newRow("before spring forward") << newYork << afterShortDay << at(2024, 3, 9, 23, 50, newYork) << "Mar 9"
                                               << "Mar 9";
        QTest::newRow("fall back day") << newYork << at(2024, 11, 3, 23, 30, newYork) << at(2024, 11, 3, 0, 10, newYork)
                                       << "Today"
                                       << "Today, 00:10";

        // 8 September 2024 began at 01:00 in Chile: the same clock time a day before now does not exist.
        const QDateTime afterMissingMidnight = at(2024, 9, 9, 0, 30, santiago);
        QTest::newRow("day without midnight")
            << santiago << afterMissingMidnight << at(2024, 9, 8, 1, 5, santiago) << "Yesterday"
            << "Yesterday, 01:05";
        QTest::newRow("before missing midnight")
            << santiago << afterMissingMidnight << at(2024, 9, 7, 23, 55, santiago) << "Sep 7"
            << "Sep 7";
    }

    void day()
    {
        QFETCH(QTimeZone, zone);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, date);
        QFETCH(QString, day);
        QFETCH(QString, dayAndTime);
        // Whatever zone the dates were written in, only the calendar's zone counts.
        const Calendar calendar { zone, Qt::Monday };
        const QDateTime utcNow = now.toUTC();
        const QDateTime utcDate = date.toUTC();
        QCOMPARE(Format::day(utcDate, utcNow, calendar), day);
        QCOMPARE(Format::dayAndTime(utcDate, utcNow, calendar), dayAndTime);
    }

    void duration_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");

        QTest::newRow("negative") << -3.0 << "0:00";
        QTest::newRow("not a number") << std::nan("") << "0:00";
        QTest::newRow("zero") << 0.0 << "0:00";
        QTest::newRow("under a second") << 0.99 << "0:00";
        QTest::newRow("just under a minute") << 59.99 << "0:59";
        QTest::newRow("minute and seconds") << 83.9 << "1:23";
        QTest::newRow("ten minutes") << 600.0 << "10:00";
        QTest::newRow("an hour stays minutes") << 3600.0 << "60:00";
        QTest::newRow("over an hour") << 3725.5 << "62:05";
    }

    void duration()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(Format::duration(seconds), expected);
    }

    void seconds_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("number");

        // Rounding is that of the binary value, as printf does: 1.25 and 0.75 are exact halves and go to the even
        // digit, 1.35 is slightly above its half and 0.15 slightly below.
        QTest::newRow("exact half down") << "en" << 1.25 << "1.2";
        QTest::newRow("exact half up") << "en" << 0.75 << "0.8";
        QTest::newRow("above half") << "en" << 1.35 << "1.4";
        QTest::newRow("below half") << "en" << 0.15 << "0.1";
        QTest::newRow("whole") << "en" << 3.0 << "3.0";
        QTest::newRow("no grouping") << "en" << 1234.56 << "1234.6";
        QTest::newRow("ru comma") << "ru" << 1.25 << "1,2";
        QTest::newRow("ru rounds up") << "ru" << 2.06 << "2,1";
        QTest::newRow("uz comma") << "uz" << 0.5 << "0,5";
    }

    void seconds()
    {
        QFETCH(QString, language);
        QFETCH(double, seconds);
        QFETCH(QString, number);
        InterfaceLanguage::install(language);
        const QString text = Format::seconds(seconds);
        QCOMPARE(text, Format::tr("%1 s").arg(number));
        if (language == QLatin1String("en"))
            QCOMPARE(text, number + QStringLiteral(" s"));
    }
};

QTEST_GUILESS_MAIN(FormatTest)
#include "tst_format.moc"
