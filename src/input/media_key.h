#pragma once

namespace kavo {

/// The keyboard's Play/Pause media key, pressed and released through the X server's XTest extension, so that
/// whichever program listens for it on the display receives it.
class MediaKey
{
public:
    /// Does nothing when there is no X display, no XTest or no key with the Play symbol.
    static void pressPlayPause();
};

} // namespace kavo
