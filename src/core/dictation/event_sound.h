#pragma once

#include <QString>

namespace kavo {

/// The moments of a dictation that have a sound.
enum class EventSound { started, accepted, cancelled, failed, phoneDone };

/// The sound's name in the application's own terms ("Tink", "Pop", "Funk", "Basso"), as log lines name it.
QString eventSoundName(EventSound sound);

} // namespace kavo
