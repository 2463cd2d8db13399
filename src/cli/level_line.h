#pragma once

#include <QTextStream>

namespace kavo::cli {

/// Shows an input level (0..1): on a terminal one bar redrawn in place, otherwise one value per line for scripts.
void showLevel(QTextStream& stream, double value, bool terminal);

} // namespace kavo::cli
