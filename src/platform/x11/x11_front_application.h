#pragma once

#include "apps/front_application.h"

namespace kavo {

/// The application of the window that is active on the X display (`_NET_ACTIVE_WINDOW`).
class X11FrontApplication : public FrontAppSource
{
public:
    /// None/none without an X display or an active window.
    FrontApp current() override;
};

} // namespace kavo
