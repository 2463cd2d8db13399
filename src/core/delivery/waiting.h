#pragma once

#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <deque>
#include <optional>

namespace kavo {

/// What a suspended coroutine waits on, kept in that coroutine's own frame: someone else rings it, or its deadline
/// passes. Because the waiting side owns it, nothing that goes away meanwhile can leave the coroutine suspended for
/// ever or resume it through a dangling pointer. Main thread only.
class WakeUpCall : public QObject
{
    Q_OBJECT

public:
    WakeUpCall();

    /// Resumes the waiting coroutine from the event loop, so that whoever rings is never re-entered.
    void ring();
    bool hasRung() const { return m_rung; }
    /// Suspends until the call rings or, with a timeout, until that has passed; true when it rang. Returns at once
    /// when it has rung already.
    QCoro::Task<bool> wait(std::optional<std::chrono::milliseconds> timeout = std::nullopt);

Q_SIGNALS:
    void woken();

private:
    QTimer m_deadline;
    bool m_rung = false;
};

/// Lets coroutines take turns with something that must not be shared, in the order they ask.
class TurnQueue
{
public:
    TurnQueue() = default;
    /// Resumes the coroutines still waiting, whose turn never comes: they must check that what they were going to
    /// work on is still there.
    ~TurnQueue();
    TurnQueue(const TurnQueue&) = delete;
    TurnQueue& operator=(const TurnQueue&) = delete;

    /// Suspends until every turn taken before has been passed on.
    QCoro::Task<> take();
    /// Ends the turn taken last; the next waiting coroutine goes on from the event loop.
    void pass();

private:
    bool m_taken = false;
    std::deque<WakeUpCall*> m_waiting;
};

/// Suspends until `when`; returns at once when that has passed.
QCoro::Task<> sleepUntil(std::chrono::steady_clock::time_point when);

} // namespace kavo
