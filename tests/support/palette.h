#pragma once

#include <QGuiApplication>
#include <QPalette>

namespace kavo::test {

/// Gives the application a palette of light text on a dark window, or the other way round, as a desktop theme does.
inline void usePalette(bool dark)
{
    QPalette palette;
    palette.setColor(QPalette::Window, dark ? QColor(0x1E, 0x1E, 0x1E) : QColor(0xEF, 0xEF, 0xEF));
    palette.setColor(QPalette::WindowText, dark ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x10, 0x10, 0x10));
    QGuiApplication::setPalette(palette);
}

} // namespace kavo::test
