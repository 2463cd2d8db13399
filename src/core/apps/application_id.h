#pragma once

#include <QLatin1StringView>

namespace kavo {

/// This application's reverse-DNS ID: its name and interface on the session bus, its desktop-file ID and icon name.
inline constexpr QLatin1StringView applicationID { "uz.kavo.KavoVoice" };

} // namespace kavo
