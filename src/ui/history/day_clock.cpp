#include "day_clock.h"

#include <algorithm>
#include <chrono>

namespace kavo {

DayClock::DayClock(QObject* parent)
    : QObject(parent)
{
    m_midnight.setSingleShot(true);
    // Whole seconds are exact enough for a day heading; the wait below has a second to spare.
    m_midnight.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_midnight, &QTimer::timeout, this, &DayClock::check);
    m_day = m_calendar.startOfDay(now());
    scheduleNextMidnight();
}

void DayClock::setSource(const Calendar& calendar, Source source)
{
    m_calendar = calendar;
    m_source = std::move(source);
    check();
}

void DayClock::check()
{
    const QDateTime day = m_calendar.startOfDay(now());
    if (day != m_day) {
        m_day = day;
        Q_EMIT dayChanged();
    }
    scheduleNextMidnight();
}

void DayClock::scheduleNextMidnight()
{
    const QDateTime next = m_calendar.addingDays(m_day, 1);
    // A second past midnight, so that a timer firing a little early still finds the new day.
    const qint64 wait = next.isValid() ? now().msecsTo(next) + 1000 : qint64(60) * 60 * 1000;
    m_midnight.start(std::chrono::milliseconds(std::max<qint64>(wait, 1000)));
}

} // namespace kavo
