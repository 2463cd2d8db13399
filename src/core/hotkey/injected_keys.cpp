#include "injected_keys.h"

#include <algorithm>

namespace kavo {

namespace {

// An event that has not come back by then never will (the server dropped it, or it went elsewhere).
constexpr auto announcementLifetime = std::chrono::seconds(2);

} // namespace

InjectedKeys& InjectedKeys::instance()
{
    static InjectedKeys keys;
    return keys;
}

void InjectedKeys::announce(int evdevCode, bool press)
{
    std::lock_guard lock(m_lock);
    m_pending.push_back({ evdevCode, press, Clock::now() + announcementLifetime });
}

bool InjectedKeys::consume(int evdevCode, bool press)
{
    std::lock_guard lock(m_lock);
    const auto now = Clock::now();
    std::erase_if(m_pending, [now](const Announcement& announcement) { return announcement.expires < now; });
    const auto match = std::find_if(m_pending.begin(), m_pending.end(), [&](const Announcement& announcement) {
        return announcement.evdevCode == evdevCode && announcement.press == press;
    });
    if (match == m_pending.end())
        return false;
    m_pending.erase(match);
    return true;
}

} // namespace kavo
