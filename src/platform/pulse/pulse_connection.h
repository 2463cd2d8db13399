#pragma once

#include "audio/audio_error.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

struct pa_context;
struct pa_operation;
struct pa_threaded_mainloop;

namespace kavo {

/// The PulseAudio server could not be reached, or refused a request; `message()` says why.
class PulseError : public AudioError
{
public:
    using AudioError::AudioError;
};

/// One client connection to the PulseAudio server (PipeWire's pulse server too), with its own event thread.
/// Queries block the calling thread until the server answers; they must not be called from the event thread.
class PulseConnection
{
public:
    struct Source
    {
        QString name; ///< the server's unique name, e.g. "alsa_input.usb-046d_HD_Webcam-02.mono-fallback"
        QString description; ///< the human-readable name
        int sampleRate = 0;
        int channelCount = 0;
        bool isMonitor = false; ///< the monitor of a sink: what is played, not a microphone
    };
    struct Defaults
    {
        QString source;
        QString sink;
    };

    /// Connects as `clientName`. Throws `PulseError` when the server cannot be reached.
    static std::shared_ptr<PulseConnection> open(const QString& clientName);
    /// `connection` itself while it is connected, else a new connection put in its place. Throws `PulseError`.
    static std::shared_ptr<PulseConnection> reconnected(
        std::shared_ptr<PulseConnection>& connection, const QString& clientName);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    /// Every source in the server's order, monitors included. Throws `PulseError`.
    QList<Source> sources();
    /// The source of that name, or nothing when the server has none. Throws `PulseError`.
    std::optional<Source> source(const QString& name);
    /// The server's default source and sink. Throws `PulseError`.
    Defaults defaults();
    /// The source named `id`, or the default source for an empty `id`; nothing when there is none. Throws `PulseError`.
    std::optional<Source> inputDevice(const QString& id);

    /// Called on the event thread after any source, sink or server change, until replaced by another handler.
    void setChangeHandler(std::function<void()> handler);

    bool isConnected() const;
    pa_threaded_mainloop* mainloop() const { return m_mainloop; }
    pa_context* context() const { return m_context; }

    /// Holds the event thread's lock: needed around every libpulse call made from another thread.
    class Lock
    {
    public:
        explicit Lock(const PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_mainloop;
    };

    /// With the lock held: waits until `operation` has completed (or the connection failed), then releases it.
    void waitFor(pa_operation* operation) const;
    /// With the lock held: the server's text for the context's last error.
    QString lastError() const;

private:
    PulseConnection() = default;
    void connect(const QString& clientName);
    void notifyChange();

    pa_threaded_mainloop* m_mainloop = nullptr;
    pa_context* m_context = nullptr;
    std::mutex m_handlerLock;
    std::function<void()> m_changeHandler;
};

} // namespace kavo
