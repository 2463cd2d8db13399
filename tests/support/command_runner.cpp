#include "command_runner.h"

#include <QProcess>
#include <QTest>

namespace kavo::test {

CommandResult runKavoVoice(const QStringList& arguments, const QString& dataFolder, const QProcessEnvironment& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("GEMINI_API_KEY"));
    environment.insert(QStringLiteral("KAVO_DATA_DIR"), dataFolder);
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    environment.insert(extra);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KAVO_VOICE_BINARY), arguments);
    CommandResult result;
    if (!process.waitForFinished(60 * 1000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

CommandResult runKavoVoiceServed(
    const QStringList& arguments, const QProcessEnvironment& environment, const std::function<void()>& started)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KAVO_VOICE_BINARY), arguments);
    CommandResult result;
    if (!process.waitForStarted())
        return result;
    if (started)
        started();
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60 * 1000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result = { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError() };
    return result;
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
    return runTool(QStringLiteral("ffmpeg"),
        QStringList { QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
            QStringLiteral("error"), QStringLiteral("-y") }
            + arguments);
}

} // namespace kavo::test
