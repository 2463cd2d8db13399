#pragma once

#include <QString>

namespace kavo::test {

/// Points KAVO_DATA_DIR and the XDG folders at a temporary folder that lives as long as the test process,
/// so no test touches the user's own data. Call before anything asks for the data folder.
QString useTemporaryDataFolder();

/// Removes every file in the temporary data folder, keeping the folder.
void emptyDataFolder();

/// The whole content of a file, or an empty array when it cannot be read.
QByteArray readFile(const QString& path);

/// The application's log as written so far, without its lines' time stamps.
QString logText();

/// Writes a file in one go, creating its folder; fails the current test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace kavo::test
