#pragma once

#include "store/history.h"

#include <QString>

class QRandomGenerator;

namespace kavo::bench {

/// Points KAVO_DATA_DIR at a temporary folder for the life of the benchmark process.
QString useTemporaryDataFolder();

/// A 16 kHz mono 16-bit WAV of about `seconds` of English speech from espeak-ng, with the short pauses of dictation
/// between sentences, made once per process in a temporary folder. Aborts the benchmark when the tools fail.
QString speechWav(int seconds);

/// A line of a process's /proc status in KiB: "VmRSS", or "VmHWM" for its peak; this process's when `pid` is 0.
/// -1 when it cannot be read.
double statusKiB(const QByteArray& key, qint64 pid = 0);

/// A dictation as the flow records it: 30 to 60 words and every optional field that a real entry carries.
HistoryEntry realisticEntry(QRandomGenerator& random, const QDateTime& date);
/// A History at its limit, one entry every ten minutes back from now, the same on every call.
History fullHistory();
/// Runs the benchmarks of a program that needs a Qt application object (event loops, timers, sockets).
int runWithQtApplication(int argc, char** argv);

} // namespace kavo::bench
