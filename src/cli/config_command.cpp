#include "command_line.h"

#include "store/config.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kavo::cli {
namespace {

// Enough of the key to recognise it, never enough to use it.
QString masked(const QString& key)
{
    if (key.isEmpty())
        return key;
    if (key.size() <= 8)
        return QString(key.size(), u'•');
    return key.left(4) + QStringLiteral("…") + key.right(4);
}

} // namespace

int runConfig(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    bool showKey = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--show-key")) {
            showKey = true;
        } else {
            err << "kavo-voice config: unknown argument \"" << argument << "\"\n";
            printUsage(err);
            return usageError;
        }
    }

    const Config config = loadSettings();
    QJsonObject object = QJsonDocument::fromJson(config.encode()).object();
    if (!showKey)
        object.insert(QStringLiteral("apiKey"), masked(config.apiKey));
    out << QJsonDocument(object).toJson(QJsonDocument::Indented);
    if (config.apiKey.isEmpty()) {
        const bool fromEnvironment = qEnvironmentVariableIsSet("GEMINI_API_KEY");
        err << (fromEnvironment ? "API key: taken from GEMINI_API_KEY\n" : "API key: not set\n");
    }
    return 0;
}

} // namespace kavo::cli
