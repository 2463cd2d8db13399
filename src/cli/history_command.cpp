#include "command_line.h"

#include "store/history.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <variant>

namespace kavo::cli {
namespace {

struct HistoryOptions
{
    bool json = false;
    std::optional<int> limit;
};

std::optional<int> positiveNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1)
        return std::nullopt;
    return number;
}

// Gives the options, or the reason the arguments were not understood.
std::variant<HistoryOptions, QString> parse(const QStringList& arguments)
{
    HistoryOptions options;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments.at(index);
        if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--limit")) {
            if (index + 1 == arguments.size())
                return QStringLiteral("--limit needs a number");
            options.limit = positiveNumber(arguments.at(++index));
            if (!options.limit)
                return QStringLiteral("--limit needs a positive whole number, not \"%1\"").arg(arguments.at(index));
        } else {
            return QStringLiteral("unknown argument \"%1\"").arg(argument);
        }
    }
    return options;
}

QString lineOf(const HistoryEntry& entry)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|[\\n\\r\\v\\f\\x{85}\\x{2028}\\x{2029}]"));
    const int words = History::wordCount(entry.text);
    QString line = entry.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("  ")
        + rawValue(entry.status).leftJustified(9) + QStringLiteral("  ") + QString::number(words)
        + (words == 1 ? QStringLiteral(" word") : QStringLiteral(" words"));
    if (!entry.text.isEmpty())
        line += QStringLiteral("  ") + QString(entry.text).replace(lineBreak, QStringLiteral(" "));
    return line;
}

} // namespace

int runHistory(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const auto parsed = parse(arguments);
    if (const auto* problem = std::get_if<QString>(&parsed)) {
        err << "kavo-voice history: " << *problem << '\n';
        printUsage(err);
        return usageError;
    }
    const auto& options = std::get<HistoryOptions>(parsed);

    // Read without History::load: the command only looks and must never move a damaged file aside.
    const QString path = History::filePath();
    QList<HistoryEntry> entries;
    QFile file(path);
    if (file.exists()) {
        QString reason;
        std::optional<History> history;
        if (!file.open(QIODevice::ReadOnly))
            reason = file.errorString();
        else
            history = History::decode(file.readAll(), &reason);
        if (!history) {
            err << "kavo-voice: cannot read " << path << ": " << reason << '\n';
            return 1;
        }
        entries = std::move(history->entries);
    }

    std::stable_sort(
        entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) { return a.date > b.date; });
    if (options.limit && entries.size() > *options.limit)
        entries.resize(*options.limit);

    if (options.json) {
        QJsonArray array;
        for (const HistoryEntry& entry : std::as_const(entries))
            array.append(entry.toJson());
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }
    for (const HistoryEntry& entry : std::as_const(entries))
        out << lineOf(entry) << '\n';
    return 0;
}

} // namespace kavo::cli
