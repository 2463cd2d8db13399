#pragma once

#include <functional>

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

namespace kavo::test {

/// What one run of the kavo-voice program printed and returned.
struct CommandResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Runs the built kavo-voice with the given arguments and data folder, and a clean environment otherwise.
CommandResult runKavoVoice(
    const QStringList& arguments, const QString& dataFolder, const QProcessEnvironment& extra = QProcessEnvironment());

/// Runs the built kavo-voice with exactly `environment` while this process's event loop keeps running, so that
/// servers of the test (a fake service) can answer it. `started` runs once the program has started.
CommandResult runKavoVoiceServed(
    const QStringList& arguments, const QProcessEnvironment& environment, const std::function<void()>& started = {});
/// Runs a tool to completion (two minutes at most). Returns an empty string on success, else what went wrong.
QString runTool(const QString& program, const QStringList& arguments);

/// Runs the ffmpeg program quietly, overwriting outputs, e.g. to make fixtures in other containers and codecs.
QString runFfmpeg(const QStringList& arguments);

/// Speaks the text with espeak-ng and converts it with ffmpeg into a 16 kHz mono 16-bit WAV at the path.
/// Returns an empty string on success, else what went wrong.
QString makeSpeechWav(const QString& path, const QString& text, const QString& voice = QStringLiteral("en"));

} // namespace kavo::test
