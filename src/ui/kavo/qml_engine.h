#pragma once

class QQmlEngine;

namespace kavo {

/// Prepares a QML engine for the interface's modules: finds them among the compiled-in resources and adds the
/// icon provider their images come from. The design tokens' instance is set apart (`Tokens::setInstance`).
void prepareQmlEngine(QQmlEngine& engine);

/// Draws the windows with Qt Quick's software renderer unless QT_QUICK_BACKEND names another: the interface is
/// small and flat, and a GPU context would cost tens of megabytes and, on software OpenGL, several times the CPU.
/// Called before the first window is made.
void useSoftwareRendering();

} // namespace kavo
