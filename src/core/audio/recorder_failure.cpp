#include "recorder_failure.h"

namespace kavo {

RecorderFailure::RecorderFailure(Kind kind, const QString& message)
    : AudioError(message)
    , m_kind(kind)
{ }

RecorderFailure RecorderFailure::couldNotStart(const QString& reason)
{
    return { Kind::couldNotStart, tr("Could not start the microphone. ") + reason };
}

RecorderFailure RecorderFailure::noMicrophone()
{
    return { Kind::noMicrophone, tr("The chosen microphone is not available. Pick another one in Settings.") };
}

RecorderFailure RecorderFailure::alreadyRecording()
{
    return { Kind::alreadyRecording, tr("A recording is already running.") };
}

} // namespace kavo
