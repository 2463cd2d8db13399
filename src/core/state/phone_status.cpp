#include "phone_status.h"

namespace kavo {

namespace {

template <typename Value> bool replace(Value& member, const Value& value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

void PhoneStatus::setRunning(bool running)
{
    if (replace(m_running, running))
        Q_EMIT runningChanged();
}

void PhoneStatus::setPhoneURLs(const QStringList& urls)
{
    if (replace(m_phoneURLs, urls))
        Q_EMIT phoneURLsChanged();
}

void PhoneStatus::setShortcutURLs(const QStringList& urls)
{
    if (replace(m_shortcutURLs, urls))
        Q_EMIT shortcutURLsChanged();
}

void PhoneStatus::setError(const QString& error)
{
    if (replace(m_error, error))
        Q_EMIT errorChanged();
}

void PhoneStatus::setLastSeen(const QDateTime& date)
{
    if (replace(m_lastSeen, date))
        Q_EMIT lastSeenChanged();
}

bool PhoneStatus::isConnected(const QDateTime& now) const
{
    return m_lastSeen.isValid() && m_lastSeen.msecsTo(now) < std::chrono::milliseconds(contactWindow).count();
}

} // namespace kavo
