#include "history.h"

#include "config.h"
#include "json_support.h"
#include "log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kavo {
namespace {

QString audioPath(const QString& name)
{
    return QDir(Config::audioDirectory()).filePath(name);
}

// history.json is rewritten whole after every dictation. Going through a QJsonDocument tree costs several times
// more than writing this one known shape directly, so the file is written here and toJson() reads it back.
QByteArrayView escaped(char byte)
{
    switch (byte) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return {};
    }
}

void appendString(QByteArray& out, QStringView text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    // UTF-8 lead and continuation bytes are all >= 0x80, so only ASCII bytes need looking at.
    // Runs that need no escaping are copied whole.
    const char* run = utf8.cbegin();
    for (const char* byte = utf8.cbegin(); byte != utf8.cend(); ++byte) {
        if (static_cast<unsigned char>(*byte) >= 0x20 && *byte != '"' && *byte != '\\')
            continue;
        out.append(run, byte - run);
        const QByteArrayView named = escaped(*byte);
        out += named.isEmpty() ? "\\u00" + QByteArray::number(*byte, 16).rightJustified(2, '0') : named.toByteArray();
        run = byte + 1;
    }
    out.append(run, utf8.cend() - run);
    out += '"';
}

void appendNumber(QByteArray& out, double value)
{
    // JSON has no infinities or NaN; null reads back as the field's default.
    out += std::isfinite(value) ? QByteArray::number(value, 'g', QLocale::FloatingPointShortest) : "null";
}

// One entry object with its members on lines of their own, in declaration order.
void appendEntry(QByteArray& out, const HistoryEntry& entry, QByteArrayView memberIndent, QByteArrayView closingIndent)
{
    bool first = true;
    const auto key = [&](const char* name) {
        out += first ? "{\n" : ",\n";
        first = false;
        out += memberIndent;
        out += '"';
        out += name;
        out += "\": ";
    };
    key("id");
    appendString(out, json::uuidText(entry.id));
    // A missing date is left out rather than written in a form that would make the whole file unreadable.
    if (entry.date.isValid()) {
        key("date");
        appendString(out, json::dateText(entry.date));
    }
    key("text");
    appendString(out, entry.text);
    key("duration");
    appendNumber(out, entry.duration);
    key("model");
    appendString(out, entry.model);
    key("source");
    appendString(out, entry.source);
    const auto optionalString = [&](const char* name, const std::optional<QString>& value) {
        if (value) {
            key(name);
            appendString(out, *value);
        }
    };
    optionalString("appName", entry.appName);
    optionalString("appBundleID", entry.appID);
    key("status");
    appendString(out, rawValue(entry.status));
    optionalString("audioFile", entry.audioFile);
    optionalString("error", entry.error);
    key("offline");
    out += entry.offline ? "true" : "false";
    if (entry.latency) {
        key("latency");
        appendNumber(out, *entry.latency);
    }
    out += '\n';
    out += closingIndent;
    out += '}';
}

} // namespace

QJsonObject HistoryEntry::toJson() const
{
    QByteArray bytes;
    appendEntry(bytes, *this, {}, {});
    return QJsonDocument::fromJson(bytes).object();
}

std::optional<HistoryEntry> HistoryEntry::fromJson(const QJsonObject& object, QString* error)
{
    HistoryEntry entry;
    QString statusText;
    if (json::readString(object, QStringLiteral("status"), statusText) == json::Field::Valid)
        entry.status = fromRawValue<Status>(statusText).value_or(Status::done);

    struct Read
    {
        const char* key;
        json::Field field;
        const char* expected;
    };
    const json::Field id = json::readUuid(object, QStringLiteral("id"), entry.id);
    const json::Field date = json::readDate(object, QStringLiteral("date"), entry.date);
    // Braced initialisers run in order, so the first bad key in declaration order is the one reported.
    const Read reads[] = {
        { "id", id, "a UUID" },
        { "date", date, "a date like 2026-12-04T23:17:17Z" },
        { "text", json::readString(object, QStringLiteral("text"), entry.text), "a string" },
        { "duration", json::readNumber(object, QStringLiteral("duration"), entry.duration), "a number" },
        { "model", json::readString(object, QStringLiteral("model"), entry.model), "a string" },
        { "source", json::readString(object, QStringLiteral("source"), entry.source), "a string" },
        { "appName", json::readOptionalString(object, QStringLiteral("appName"), entry.appName), "a string" },
        { "appBundleID", json::readOptionalString(object, QStringLiteral("appBundleID"), entry.appID), "a string" },
        { "audioFile", json::readOptionalString(object, QStringLiteral("audioFile"), entry.audioFile), "a string" },
        { "error", json::readOptionalString(object, QStringLiteral("error"), entry.error), "a string" },
        { "offline", json::readBool(object, QStringLiteral("offline"), entry.offline), "a boolean" },
        { "latency", json::readOptionalNumber(object, QStringLiteral("latency"), entry.latency), "a number" },
    };
    for (const Read& read : reads) {
        if (read.field == json::Field::Invalid) {
            if (error)
                *error = QStringLiteral("\"%1\" is not %2").arg(QLatin1String(read.key), QLatin1String(read.expected));
            return std::nullopt;
        }
    }
    if (id == json::Field::Absent)
        entry.id = QUuid::createUuid();
    if (date == json::Field::Absent)
        entry.date = json::now();
    return entry;
}

QString History::filePath()
{
    static const QString path = QDir(Config::directory()).filePath(QStringLiteral("history.json"));
    return path;
}

std::optional<History> History::decode(const QByteArray& bytes, QString* error)
{
    const auto failure = [error](const QString& reason) -> std::optional<History> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(
            QStringLiteral("not JSON (%1 at offset %2)").arg(parseError.errorString()).arg(parseError.offset));
    if (!document.isObject())
        return failure(QStringLiteral("the top level is not an object"));
    const QJsonValue entries = document.object().value(QStringLiteral("entries"));
    if (entries.isUndefined())
        return failure(QStringLiteral("\"entries\" is missing"));
    if (!entries.isArray())
        return failure(QStringLiteral("\"entries\" is not an array"));

    const QJsonArray array = entries.toArray();
    History history;
    history.entries.reserve(array.size());
    for (qsizetype index = 0; index < array.size(); ++index) {
        const QJsonValue item = array.at(index);
        QString reason = QStringLiteral("not an object");
        auto entry = item.isObject() ? HistoryEntry::fromJson(item.toObject(), &reason) : std::nullopt;
        if (!entry)
            return failure(QStringLiteral("entries[%1]: %2").arg(index).arg(reason));
        history.entries.append(std::move(*entry));
    }
    return history;
}

QByteArray History::encode() const
{
    if (entries.isEmpty())
        return "{\n    \"entries\": []\n}\n";
    QByteArray out;
    out.reserve(entries.size() * 768);
    out += "{\n    \"entries\": [\n";
    for (qsizetype index = 0; index < entries.size(); ++index) {
        out += index == 0 ? "        " : ",\n        ";
        appendEntry(out, entries.at(index), "            ", "        ");
    }
    out += "\n    ]\n}\n";
    return out;
}

History History::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    file.close();
    if (auto decoded = decode(bytes))
        return std::move(*decoded);
    Config::setAside(path);
    return {};
}

void History::add(HistoryEntry entry)
{
    entries.prepend(std::move(entry));
    if (entries.size() > limit) {
        for (qsizetype index = limit; index < entries.size(); ++index)
            deleteAudio(entries.at(index));
        entries.resize(limit);
    }
    save();
}

void History::prune(int keepingDays, const QDateTime& now, const Calendar& calendar)
{
    if (keepingDays < 1)
        return;
    const QDateTime cutoff = calendar.addingDays(now, -keepingDays);
    if (!cutoff.isValid())
        return;
    const auto expired = [&cutoff](const HistoryEntry& entry) { return entry.date < cutoff; };
    if (std::none_of(entries.cbegin(), entries.cend(), expired))
        return;
    for (const HistoryEntry& entry : std::as_const(entries)) {
        if (expired(entry))
            deleteAudio(entry);
    }
    entries.removeIf(expired);
    save();
}

void History::clear()
{
    for (const HistoryEntry& entry : std::as_const(entries))
        deleteAudio(entry);
    entries.clear();
    save();
}

void History::save() const
{
    const QString path = filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFileAtomically(path, encode());
}

void History::update(const HistoryEntry& entry)
{
    const auto stored = std::find_if(
        entries.begin(), entries.end(), [&entry](const HistoryEntry& candidate) { return candidate.id == entry.id; });
    if (stored == entries.end())
        return;
    *stored = entry;
    save();
}

void History::remove(const QUuid& id)
{
    const auto stored
        = std::find_if(entries.cbegin(), entries.cend(), [&id](const HistoryEntry& entry) { return entry.id == id; });
    if (stored == entries.cend())
        return;
    deleteAudio(*stored);
    entries.erase(stored);
    save();
}

std::optional<QString> History::keepAudio(const QString& path, const QUuid& id)
{
    const QString name = json::uuidText(id) + QLatin1Char('.') + QFileInfo(path).suffix();
    const QString folder = Config::audioDirectory();
    QString failure;
    if (!QDir().mkpath(folder)) {
        failure = QStringLiteral("could not create the folder %1").arg(folder);
    } else {
        const QString target = audioPath(name);
        QFile::remove(target);
        // QFile::rename copies and deletes when the recording lies on another file system.
        QFile recording(path);
        if (recording.rename(target))
            return name;
        failure = recording.errorString();
    }
    Log::write(QStringLiteral("could not keep the audio: ") + failure);
    return std::nullopt;
}

void History::deleteAudio(const HistoryEntry& entry)
{
    // The name comes from a file the user can edit; never let it reach outside the audio folder.
    if (!entry.audioFile || entry.audioFile->contains(QLatin1Char('/')))
        return;
    QFile::remove(audioPath(*entry.audioFile));
}

QList<History::DayGroup> History::groups(const QList<HistoryEntry>& entries, const Calendar& calendar)
{
    QList<DayGroup> result;
    for (const HistoryEntry& entry : entries) {
        const QDateTime day = calendar.startOfDay(entry.date);
        if (result.isEmpty() || result.last().day != day)
            result.append(DayGroup { day, {} });
        result.last().entries.append(entry);
    }
    return result;
}

History::Stats History::stats(const QDateTime& now, const Calendar& calendar) const
{
    const auto week = calendar.week(now);
    if (!week)
        return {};
    Stats result;
    for (const HistoryEntry& entry : entries) {
        if (entry.status != HistoryEntry::Status::done)
            continue;
        const int words = wordCount(entry.text);
        if (calendar.isSameDay(entry.date, now))
            result.today += words;
        if (week->contains(entry.date))
            result.week += words;
    }
    return result;
}

int History::wordCount(const QString& text)
{
    int count = 0;
    bool inWord = false;
    for (const QChar character : text) {
        // QChar::isSpace covers the Unicode separators and the control line breaks (tab to carriage return, NEL).
        const bool space = character.isSpace();
        if (!space && !inWord)
            ++count;
        inWord = !space;
    }
    return count;
}

} // namespace kavo
