#pragma once

#include <functional>

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

class QProcess;

namespace kavo::test {

/// What one run of the kavo-voice program printed and returned.
struct CommandResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Runs the built kavo-voice with the given arguments and data folder, in English, without an API key unless
/// `extra` sets one, and with this process's environment otherwise. This process's event loop keeps running, so
/// servers of the test (a fake service) can answer the program; `started` runs once it has started, and may talk to
/// it or signal it.
CommandResult runKavoVoice(const QStringList& arguments, const QString& dataFolder,
    const QProcessEnvironment& extra = QProcessEnvironment(), const std::function<void(QProcess&)>& started = {});

/// Runs a tool to completion (two minutes at most). Returns an empty string on success, else what went wrong.
QString runTool(const QString& program, const QStringList& arguments);

/// Runs the ffmpeg program quietly, overwriting outputs, e.g. to make fixtures in other containers and codecs.
QString runFfmpeg(const QStringList& arguments);

/// Speaks the text with espeak-ng and converts it with ffmpeg into a 16 kHz mono 16-bit WAV at the path.
/// Returns an empty string on success, else what went wrong.
QString makeSpeechWav(const QString& path, const QString& text);

} // namespace kavo::test
