#pragma once

#include "ui/pill/floating_window_system.h"

#include <memory>

struct _XDisplay;

namespace kavo {

/// Floating windows on the X display Qt draws on: EWMH states and desktop, the compositing manager's selection and
/// the SHAPE extension's input region.
class X11FloatingWindowSystem : public FloatingWindowSystem
{
public:
    /// Null unless Qt runs on an X display.
    static std::unique_ptr<X11FloatingWindowSystem> create();

    void keepAside(QWindow& window) override;
    bool isComposited() override;
    void setInputRegion(QWindow& window, const QRect& region) override;

private:
    X11FloatingWindowSystem(_XDisplay* display, int screen);

    _XDisplay* m_display;
    int m_screen;
};

} // namespace kavo
