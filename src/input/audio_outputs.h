#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace kavo {

class PulseConnection;

/// One process that is sending audio to an output device.
struct AudioOutput
{
    qint32 pid = 0;
    /// The application ID the process gave the sound server, else its program name.
    std::optional<QString> bundleID;

    bool operator==(const AudioOutput&) const = default;
};

/// The processes playing sound right now, as the PulseAudio server sees them: one entry per process with a sink
/// input that is not corked, in the server's order.
class AudioOutputs
{
public:
    AudioOutputs();
    ~AudioOutputs();
    AudioOutputs(const AudioOutputs&) = delete;
    AudioOutputs& operator=(const AudioOutputs&) = delete;

    /// Nothing when the server cannot be reached or does not answer.
    QList<AudioOutput> playing();

private:
    std::shared_ptr<PulseConnection> m_connection;
};

} // namespace kavo
