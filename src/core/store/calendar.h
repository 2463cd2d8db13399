#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <optional>

namespace kavo {

/// The calendar that day and week questions are asked in: a time zone and the first day of the week.
struct Calendar
{
    QTimeZone timeZone = QTimeZone::systemTimeZone();
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;

    /// The user's calendar: the system time zone and the system locale's first day of the week.
    static Calendar current();

    QDateTime startOfDay(const QDateTime& date) const;
    bool isSameDay(const QDateTime& a, const QDateTime& b) const;
    /// The date moved by whole calendar days, keeping the clock time where the day has it.
    QDateTime addingDays(const QDateTime& date, int days) const;

    struct Interval
    {
        QDateTime start; ///< inclusive
        QDateTime end; ///< exclusive
        bool contains(const QDateTime& date) const { return start <= date && date < end; }
    };
    /// The calendar week around the date.
    std::optional<Interval> week(const QDateTime& date) const;
};

} // namespace kavo
