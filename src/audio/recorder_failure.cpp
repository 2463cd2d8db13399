#include "recorder_failure.h"

#include "audio/ffmpeg_support.h"
#include "audio/pulse_connection.h"
#include "audio/wav_reader.h"

namespace kavo {

RecorderFailure::RecorderFailure(Kind kind, const QString& reason)
    : m_kind(kind)
    , m_reason(reason)
    , m_english(text(false).toUtf8())
{ }

RecorderFailure RecorderFailure::couldNotStart(const QString& reason)
{
    return { Kind::couldNotStart, reason };
}

RecorderFailure RecorderFailure::noMicrophone()
{
    return { Kind::noMicrophone, {} };
}

RecorderFailure RecorderFailure::alreadyRecording()
{
    return { Kind::alreadyRecording, {} };
}

QString RecorderFailure::message() const
{
    return text(true);
}

QString RecorderFailure::text(bool translated) const
{
    const auto choose
        = [translated](const char* source) { return translated ? tr(source) : QString::fromUtf8(source); };
    switch (m_kind) {
    case Kind::couldNotStart:
        return choose(QT_TR_NOOP("Could not start the microphone. ")) + m_reason;
    case Kind::noMicrophone:
        return choose(QT_TR_NOOP("The chosen microphone is not available. Pick another one in Settings."));
    case Kind::alreadyRecording:
        return choose(QT_TR_NOOP("A recording is already running."));
    }
    Q_UNREACHABLE();
}

QString audioErrorText(const std::exception& error)
{
    if (const auto* failure = dynamic_cast<const RecorderFailure*>(&error))
        return failure->message();
    if (const auto* pulse = dynamic_cast<const PulseError*>(&error))
        return pulse->message();
    if (const auto* wav = dynamic_cast<const WavError*>(&error))
        return wav->message();
    if (const auto* codec = dynamic_cast<const AudioCodecError*>(&error))
        return codec->message();
    return QString::fromUtf8(error.what());
}

} // namespace kavo
