#include "command_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace kavo::test {

CommandResult runKavoVoice(const QStringList& arguments, const QString& dataFolder, const QProcessEnvironment& extra,
    const std::function<void(QProcess&)>& started)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("GEMINI_API_KEY");
    environment.insert("KAVO_DATA_DIR", dataFolder);
    environment.insert("LANG", "C.UTF-8");
    environment.insert("LANGUAGE", "en");
    environment.insert(extra);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KAVO_VOICE_BINARY), arguments);
    if (!process.waitForStarted())
        return {};
    if (started)
        started(process);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60 * 1000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError() };
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(30'000))
        return QStringLiteral("%1 did not start: %2").arg(program, process.errorString());
    if (!process.waitForFinished(120'000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 did not finish within two minutes").arg(program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAll()).trimmed());
    return {};
}

QString runFfmpeg(const QStringList& arguments)
{
    return runTool("ffmpeg", QStringList { "-nostdin", "-hide_banner", "-loglevel", "error", "-y" } + arguments);
}

QString makeSpeechWav(const QString& path, const QString& text)
{
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("no temporary folder: %1").arg(work.errorString());
    // espeak-ng speaks at 22050 Hz; ffmpeg brings it to the microphone's format.
    const QString spoken = work.filePath("spoken.wav");
    if (QString error = runTool("espeak-ng", { "-v", "en", "-w", spoken, "--", text }); !error.isEmpty())
        return error;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return runFfmpeg({ "-i", spoken, "-ar", "16000", "-ac", "1", "-c:a", "pcm_s16le", path });
}

} // namespace kavo::test
