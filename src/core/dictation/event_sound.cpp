#include "event_sound.h"

namespace kavo {

QString eventSoundName(EventSound sound)
{
    switch (sound) {
    case EventSound::started:
        return QStringLiteral("Tink");
    case EventSound::accepted:
    case EventSound::phoneDone:
        return QStringLiteral("Pop");
    case EventSound::cancelled:
        return QStringLiteral("Funk");
    case EventSound::failed:
        return QStringLiteral("Basso");
    }
    Q_UNREACHABLE();
}

} // namespace kavo
