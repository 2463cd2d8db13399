#pragma once

#include "audio/audio_error.h"

#include <QCoreApplication>

namespace kavo {

/// Why a recording could not start or go on; `message()` is the text shown to the user, in the interface language.
class RecorderFailure : public AudioError
{
    Q_DECLARE_TR_FUNCTIONS(RecorderFailure)

public:
    enum class Kind { couldNotStart, noMicrophone, alreadyRecording };

    /// "Could not start the microphone. " followed by `reason`.
    static RecorderFailure couldNotStart(const QString& reason);
    static RecorderFailure noMicrophone();
    static RecorderFailure alreadyRecording();

    Kind kind() const { return m_kind; }

private:
    RecorderFailure(Kind kind, const QString& message);

    Kind m_kind;
};

} // namespace kavo
