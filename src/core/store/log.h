#pragma once

#include <QString>

namespace kavo {

/// The application's trace in kavo.log: one timestamped line per event, written on the "kavo.log" thread.
/// Callers on any thread return at once; file failures are ignored and never reach them.
class Log
{
public:
    /// Queues one line; the time stamp is taken when the line is written.
    static void write(const QString& message);
    /// Queues the deletion of the log file.
    static void reset();
    /// Blocks until everything queued so far has been written (for shutdown and tests).
    static void flush();

    static QString filePath();
};

} // namespace kavo
