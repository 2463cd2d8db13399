#pragma once

#include <chrono>
#include <deque>
#include <mutex>

namespace kavo {

/// The application's own synthetic key events, announced before they are sent, so that the hotkey sources can
/// tell them from the user's typing: an X server reports every XTest event with the same source device, so the
/// only way to know one's own events is to remember them. Announcements that never come back expire.
class InjectedKeys
{
public:
    static InjectedKeys& instance();

    /// Called by an injector just before it sends the press or release of `evdevCode`.
    void announce(int evdevCode, bool press);
    /// Called by a hotkey source for each event it receives: true (and the announcement is used up) when the
    /// event is one the application sent itself.
    bool consume(int evdevCode, bool press);

private:
    using Clock = std::chrono::steady_clock;
    struct Announcement
    {
        int evdevCode;
        bool press;
        Clock::time_point expires;
    };

    std::mutex m_lock;
    std::deque<Announcement> m_pending;
};

} // namespace kavo
