#pragma once

#include "platform/dbus/remote_client.h"
#include "store/config.h"

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace kavo::cli {

/// Exit status for arguments the program does not understand.
constexpr int usageError = 2;

/// Runs one command line (without the program name) and returns the process exit status.
int run(const QStringList& arguments);

void printUsage(QTextStream& stream);
/// The settings as a launch reads them (defaults written when the file is missing, a damaged file set aside).
Config loadSettings();
/// Prints "kavo-voice COMMAND: MESSAGE" and the usage to `err`; returns `usageError`.
int refuse(QTextStream& err, const QString& command, const QString& message);

int runDictate(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runConfig(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runMic(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runHotkey(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runHistory(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runServe(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runSnippets(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runTranscribe(const QStringList& arguments, QTextStream& out, QTextStream& err);

/// The request a remote-control command ("toggle", "show"...) sends to the running application; none for others.
std::optional<RemoteRequest> remoteRequest(const QString& command);
int runRemote(const QString& command, RemoteRequest request, const QStringList& arguments, QTextStream& err);

} // namespace kavo::cli
