#pragma once

#include "dictation/event_sound.h"

#include <memory>

namespace kavo {

/// Plays the application's event sounds from the desktop's sound theme through libcanberra. The sound server is
/// opened on a thread of the player's own, so a slow, hung or missing server never holds up the caller. Failures
/// are silent apart from one log line the first time the server cannot be opened.
class EventSounds
{
public:
    EventSounds();
    /// Lets the sounds already asked for start, then closes the connection to the sound server.
    ~EventSounds();
    EventSounds(const EventSounds&) = delete;
    EventSounds& operator=(const EventSounds&) = delete;

    /// The freedesktop sound-theme id that stands for the sound.
    static const char* freedesktopName(EventSound sound);

    /// Starts the sound and returns at once.
    void play(EventSound sound);

private:
    class Player;
    std::unique_ptr<Player> m_player;
};

} // namespace kavo
