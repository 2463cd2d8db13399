#include "waiting.h"

#include <QCoroSignal>
#include <QCoroTimer>

namespace kavo {

WakeUpCall::WakeUpCall()
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &WakeUpCall::woken);
}

void WakeUpCall::ring()
{
    if (m_rung)
        return;
    m_rung = true;
    m_deadline.stop();
    QMetaObject::invokeMethod(this, &WakeUpCall::woken, Qt::QueuedConnection);
}

QCoro::Task<bool> WakeUpCall::wait(std::optional<std::chrono::milliseconds> timeout)
{
    if (!m_rung) {
        if (timeout)
            m_deadline.start(*timeout);
        co_await qCoro(this, &WakeUpCall::woken);
    }
    co_return m_rung;
}

TurnQueue::~TurnQueue()
{
    for (WakeUpCall* waiting : m_waiting)
        waiting->ring();
}

QCoro::Task<> TurnQueue::take()
{
    if (!m_taken) {
        m_taken = true;
        co_return;
    }
    WakeUpCall turn;
    m_waiting.push_back(&turn);
    co_await turn.wait();
}

void TurnQueue::pass()
{
    if (m_waiting.empty()) {
        m_taken = false;
        return;
    }
    m_waiting.front()->ring();
    m_waiting.pop_front();
}

QCoro::Task<> sleepUntil(std::chrono::steady_clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - std::chrono::steady_clock::now());
    if (left.count() > 0)
        co_await QCoro::sleepFor(left);
}

} // namespace kavo
