#pragma once

#include "store/calendar.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

namespace kavo {

/// The present moment for views that write "Today" and count this day's words, with a signal when the calendar day
/// changes. Main thread only.
class DayClock : public QObject
{
    Q_OBJECT

public:
    using Source = std::function<QDateTime()>;

    explicit DayClock(QObject* parent = nullptr);

    QDateTime now() const { return m_source(); }
    const Calendar& calendar() const { return m_calendar; }

    /// Reads the time from `source` in `calendar` from now on, as a test's clock does.
    void setSource(const Calendar& calendar, Source source);
    /// Announces a new day when the present lies on another calendar day than when last looked at.
    void check();

Q_SIGNALS:
    void dayChanged();

private:
    void scheduleNextMidnight();

    Calendar m_calendar = Calendar::current();
    Source m_source = [] { return QDateTime::currentDateTime(); };
    QDateTime m_day;
    QTimer m_midnight;
};

} // namespace kavo
