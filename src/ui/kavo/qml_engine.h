#pragma once

class QQmlEngine;

namespace kavo {

/// Prepares a QML engine for the interface's modules: finds them among the compiled-in resources and adds the
/// icon provider their images come from. The design tokens' instance is set apart (`Tokens::setInstance`).
void prepareQmlEngine(QQmlEngine& engine);

} // namespace kavo
