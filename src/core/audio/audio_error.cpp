#include "audio_error.h"

namespace kavo {

QString audioErrorText(const std::exception& error)
{
    if (const auto* audio = dynamic_cast<const AudioError*>(&error))
        return audio->message();
    return QString::fromUtf8(error.what());
}

} // namespace kavo
