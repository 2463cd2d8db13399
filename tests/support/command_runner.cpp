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

} // namespace kavo::test
