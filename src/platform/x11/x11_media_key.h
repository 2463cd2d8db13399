#pragma once

#include "media/media_services.h"

namespace kavo {

/// The Play/Pause media key, pressed and released through the X server's XTest extension, so that whichever
/// program listens for it on the display receives it.
class X11MediaKey : public MediaKey
{
public:
    /// Does nothing when there is no X display, no XTest or no key with the Play symbol.
    void pressPlayPause() override;
};

} // namespace kavo
