#pragma once

#include "media/media_services.h"

#include <memory>

namespace kavo {

class PulseConnection;

/// The processes playing sound right now, as the PulseAudio server sees them: one entry per process with a sink
/// input that is not corked, in the server's order.
class PulseAudioOutputs : public AudioOutputs
{
public:
    PulseAudioOutputs();
    ~PulseAudioOutputs() override;
    PulseAudioOutputs(const PulseAudioOutputs&) = delete;
    PulseAudioOutputs& operator=(const PulseAudioOutputs&) = delete;

    /// Asks the server on a worker thread: its answer may take a while.
    QCoro::Task<QList<AudioOutput>> playing() override;

private:
    QList<AudioOutput> query();

    std::shared_ptr<PulseConnection> m_connection;
};

} // namespace kavo
