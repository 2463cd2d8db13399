#pragma once

namespace kavo {

/// The moments of a dictation that have a sound.
enum class EventSound { started, accepted, cancelled, failed, phoneDone };

} // namespace kavo
