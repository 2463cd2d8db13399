#pragma once

class QRect;
class QWindow;

namespace kavo {

/// What a floating window needs of the window system beyond Qt's window flags.
class FloatingWindowSystem
{
public:
    virtual ~FloatingWindowSystem() = default;

    /// Keeps `window` out of the task bar, the pager and the window switcher and shows it on every workspace. Called
    /// before each show, since window managers drop these states when a window is hidden.
    virtual void keepAside(QWindow& window) = 0;
    /// Whether a compositing manager draws the screen, so that translucent pixels show what lies below.
    virtual bool isComposited() = 0;
    /// Lets `window` take pointer input only inside `region` (window coordinates); elsewhere clicks reach the
    /// windows below.
    virtual void setInputRegion(QWindow& window, const QRect& region) = 0;
};

} // namespace kavo
