#include "event_sounds.h"

#include "apps/application_id.h"
#include "store/log.h"

#include <QThread>

#include <canberra.h>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace kavo {

namespace {

struct ContextDeleter
{
    void operator()(ca_context* context) const { ca_context_destroy(context); }
};
using ContextPtr = std::unique_ptr<ca_context, ContextDeleter>;

} // namespace

// Opening the sound server waits for its answer, and starting a sound looks the file up in the theme and reads
// it, so both happen here, one sound after another, and never on the caller's thread.
class EventSounds::Player final : public QThread
{
public:
    Player()
    {
        setObjectName(QStringLiteral("kavo.sounds"));
        start();
    }

    ~Player() override
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        wait();
    }

    void enqueue(EventSound sound)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_sounds.push_back(sound);
        }
        m_wake.notify_one();
    }

protected:
    void run() override
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_sounds.empty(); });
            if (m_sounds.empty())
                break;
            const EventSound sound = m_sounds.front();
            m_sounds.pop_front();
            lock.unlock();
            playNow(sound);
            lock.lock();
        }
        lock.unlock();
        m_context.reset();
    }

private:
    void playNow(EventSound sound)
    {
        if (!m_context && !open())
            return;
        const int result = ca_context_play(m_context.get(), 0, CA_PROP_EVENT_ID, freedesktopName(sound),
            CA_PROP_CANBERRA_CACHE_CONTROL, "volatile", nullptr);
        // A restarted server leaves the context behind for good; the next sound opens a new one.
        if (result == CA_ERROR_DISCONNECTED || result == CA_ERROR_STATE)
            m_context.reset();
    }

    bool open()
    {
        ca_context* created = nullptr;
        int result = ca_context_create(&created);
        ContextPtr context(created);
        // Only through the PulseAudio server (or PipeWire's) that the rest of the application uses: libcanberra's
        // ALSA fallback would go around it, its per-application volume and the server PULSE_SERVER names.
        if (result == CA_SUCCESS)
            result = ca_context_set_driver(created, "pulse");
        if (result == CA_SUCCESS)
            result = ca_context_change_props(created, CA_PROP_APPLICATION_NAME, "Kavo Voice", CA_PROP_APPLICATION_ID,
                applicationID.data(), CA_PROP_MEDIA_ROLE, "event", nullptr);
        if (result == CA_SUCCESS)
            result = ca_context_open(created);
        if (result != CA_SUCCESS) {
            if (!m_reportedFailure)
                Log::write(QStringLiteral("sounds unavailable: ") + QString::fromUtf8(ca_strerror(result)));
            m_reportedFailure = true;
            return false;
        }
        m_context = std::move(context);
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<EventSound> m_sounds;
    bool m_stopping = false;
    // Used on the player's thread only.
    ContextPtr m_context;
    bool m_reportedFailure = false;
};

EventSounds::EventSounds() = default;

EventSounds::~EventSounds() = default;

const char* EventSounds::freedesktopName(EventSound sound)
{
    switch (sound) {
    case EventSound::started:
        return "audio-volume-change";
    case EventSound::accepted:
        return "message";
    case EventSound::cancelled:
        return "dialog-warning";
    case EventSound::failed:
        return "dialog-error";
    case EventSound::phoneDone:
        return "complete";
    }
    Q_UNREACHABLE();
}

void EventSounds::play(EventSound sound)
{
    // The thread starts with the first sound, so a user who turned sounds off never has one.
    if (!m_player)
        m_player = std::make_unique<Player>();
    m_player->enqueue(sound);
}

} // namespace kavo
