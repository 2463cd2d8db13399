#include "calendar.h"

#include <QLocale>

namespace kavo {

Calendar Calendar::current()
{
    return Calendar { QTimeZone::systemTimeZone(), QLocale::system().firstDayOfWeek() };
}

QDateTime Calendar::startOfDay(const QDateTime& date) const
{
    return date.toTimeZone(timeZone).date().startOfDay(timeZone);
}

bool Calendar::isSameDay(const QDateTime& a, const QDateTime& b) const
{
    return a.toTimeZone(timeZone).date() == b.toTimeZone(timeZone).date();
}

QDateTime Calendar::addingDays(const QDateTime& date, int days) const
{
    const QDateTime local = date.toTimeZone(timeZone);
    const QDate day = local.date().addDays(days);
    QDateTime moved(day, local.time(), timeZone);
    // A clock time the target day skips (a daylight-saving gap at midnight, say) must not land on another day.
    if (!moved.isValid() || moved.date() != day)
        return day.startOfDay(timeZone);
    return moved;
}

std::optional<Calendar::Interval> Calendar::week(const QDateTime& date) const
{
    const QDate day = date.toTimeZone(timeZone).date();
    if (!day.isValid())
        return std::nullopt;
    const int sinceFirst = (day.dayOfWeek() - firstDayOfWeek + 7) % 7;
    const QDate first = day.addDays(-sinceFirst);
    return Interval { first.startOfDay(timeZone), first.addDays(7).startOfDay(timeZone) };
}

} // namespace kavo
