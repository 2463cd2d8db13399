#pragma once

#include "store/calendar.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace kavo {

/// Numbers, dates and durations as display text in the interface language.
///
/// Dates are shown in the system's local time unless a time zone is given; the functions taking a calendar use
/// its zone.
class Format
{
    Q_DECLARE_TR_FUNCTIONS(Format)

public:
    /// An integer with digit grouping; outside English the grouping separator is a plain space.
    static QString number(qint64 n);
    /// A count of words with its noun in the plural form the language gives that number ("1,234 words").
    static QString wordCount(qint64 words);

    /// Day and abbreviated month ("Dec 4", "4 дек.", "4-dek").
    static QString shortDate(const QDateTime& date);
    static QString shortDate(const QDateTime& date, const QTimeZone& zone);
    /// Day, abbreviated month and year ("Dec 4, 2024", "4-dek, 2024").
    static QString longDate(const QDateTime& date);
    static QString longDate(const QDateTime& date, const QTimeZone& zone);
    /// 24-hour clock time, "HH:mm".
    static QString time(const QDateTime& date);
    static QString time(const QDateTime& date, const QTimeZone& zone);

    /// "Today", "Yesterday" or the short date, judged by the calendar days of the calendar's zone.
    static QString day(const QDateTime& date, const QDateTime& now, const Calendar& calendar = Calendar::current());
    /// The day and the time for today and yesterday ("Yesterday, 23:59"); the short date alone before that.
    static QString dayAndTime(
        const QDateTime& date, const QDateTime& now, const Calendar& calendar = Calendar::current());

    /// Whole seconds, never negative, as minutes and two-digit seconds: 83.9 gives "1:23".
    static QString duration(double seconds);
    /// Seconds with one decimal in the interface locale and the unit: "1.3 s", "1,3 s".
    static QString seconds(double seconds);
};

} // namespace kavo
