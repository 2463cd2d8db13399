#pragma once

#include <QString>

namespace kavo::bench {

/// Points KAVO_DATA_DIR at a temporary folder for the life of the benchmark process.
QString useTemporaryDataFolder();

} // namespace kavo::bench
