#include "notes_store.h"

#include "store/config.h"
#include "store/json_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace kavo {

namespace {

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Unlike QString::trimmed(), line breaks stay.
QString trimmedSpacesAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text.at(begin)))
        ++begin;
    while (end > begin && isSpaceOrTab(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString withoutTrailingWhiteSpace(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

bool isBlankText(const QString& text)
{
    return text.trimmed().isEmpty();
}

template <typename Record> QJsonArray recordsToJson(const QList<Record>& records)
{
    QJsonArray array;
    for (const Record& record : records)
        array.append(record.toJson());
    return array;
}

template <typename Record>
std::optional<QList<Record>> recordsFromJson(const QJsonObject& object, const QString& key, QString* error)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray()) {
        if (error)
            *error = QStringLiteral("\"%1\" is missing or not an array").arg(key);
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    QList<Record> records;
    records.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const auto record = array.at(i).isObject() ? Record::fromJson(array.at(i).toObject()) : std::nullopt;
        if (!record) {
            if (error)
                *error = QStringLiteral("\"%1\" item %2 is not a valid record").arg(key).arg(i);
            return std::nullopt;
        }
        records.append(*record);
    }
    return records;
}

// Serves both the const and the mutable lookup.
template <typename Records> auto findById(Records& records, const QUuid& id) -> decltype(records.data())
{
    const auto it = std::find_if(records.begin(), records.end(), [&](const auto& record) { return record.id == id; });
    return it == records.end() ? nullptr : &*it;
}

// Newest first; std::stable_sort keeps the stored order of notes changed in the same second.
QList<Note> newestFirst(QList<Note> notes)
{
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.updated > b.updated; });
    return notes;
}

} // namespace

QJsonObject NoteFolder::toJson() const
{
    return QJsonObject {
        { QStringLiteral("id"), json::uuidText(id) },
        { QStringLiteral("name"), name },
    };
}

std::optional<NoteFolder> NoteFolder::fromJson(const QJsonObject& object)
{
    using json::Field;
    NoteFolder folder;
    if (json::readUuid(object, QStringLiteral("id"), folder.id) != Field::Valid
        || json::readString(object, QStringLiteral("name"), folder.name) != Field::Valid)
        return std::nullopt;
    return folder;
}

bool Note::isBlank() const
{
    return isBlankText(title) && isBlankText(body);
}

QString Note::snippet() const
{
    const auto lines = QStringView(body).split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.first().toString();
}

QJsonObject Note::toJson() const
{
    QJsonObject object {
        { QStringLiteral("id"), json::uuidText(id) },
        { QStringLiteral("folderID"), json::uuidText(folderID) },
        { QStringLiteral("title"), title },
        { QStringLiteral("body"), body },
        { QStringLiteral("created"), json::dateText(created) },
        { QStringLiteral("updated"), json::dateText(updated) },
    };
    if (kind)
        object.insert(QStringLiteral("kind"), *kind);
    if (number)
        object.insert(QStringLiteral("number"), *number);
    return object;
}

std::optional<Note> Note::fromJson(const QJsonObject& object)
{
    using json::Field;
    Note note;
    if (json::readUuid(object, QStringLiteral("id"), note.id) != Field::Valid
        || json::readUuid(object, QStringLiteral("folderID"), note.folderID) != Field::Valid
        || json::readString(object, QStringLiteral("title"), note.title) != Field::Valid
        || json::readString(object, QStringLiteral("body"), note.body) != Field::Valid
        || json::readDate(object, QStringLiteral("created"), note.created) != Field::Valid
        || json::readDate(object, QStringLiteral("updated"), note.updated) != Field::Valid)
        return std::nullopt;
    if (json::readOptionalString(object, QStringLiteral("kind"), note.kind) == Field::Invalid
        || json::readOptionalInt(object, QStringLiteral("number"), note.number) == Field::Invalid)
        return std::nullopt;
    return note;
}

NotesStore NotesStore::starter()
{
    NotesStore store;
    store.folders = {
        { QUuid::createUuid(), tr("Personal") },
        { QUuid::createUuid(), tr("Ideas") },
    };
    return store;
}

QString NotesStore::filePath()
{
    static const QString path = QDir(Config::directory()).filePath(QStringLiteral("notes.json"));
    return path;
}

QDateTime NotesStore::currentTime()
{
    return json::now();
}

std::optional<NotesStore> NotesStore::decode(const QByteArray& bytes, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    auto folders = recordsFromJson<NoteFolder>(object, QStringLiteral("folders"), error);
    if (!folders)
        return std::nullopt;
    auto notes = recordsFromJson<Note>(object, QStringLiteral("notes"), error);
    if (!notes)
        return std::nullopt;
    NotesStore store;
    store.folders = std::move(*folders);
    store.notes = std::move(*notes);
    return store;
}

QByteArray NotesStore::encode() const
{
    const QJsonObject object {
        { QStringLiteral("folders"), recordsToJson(folders) },
        { QStringLiteral("notes"), recordsToJson(notes) },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

NotesStore NotesStore::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return starter();
    const QByteArray bytes = file.readAll();
    file.close();
    if (auto decoded = decode(bytes))
        return std::move(*decoded);
    Config::setAside(path);
    return starter();
}

void NotesStore::save() const
{
    // The in-memory store stays authoritative: a failed write is simply repeated by the next change.
    QDir().mkpath(QFileInfo(filePath()).absolutePath());
    writeFileAtomically(filePath(), encode());
}

Note* NotesStore::find(const QUuid& note)
{
    return findById(notes, note);
}

const Note* NotesStore::find(const QUuid& note) const
{
    return findById(notes, note);
}

QList<Note> NotesStore::notesIn(const std::optional<QUuid>& folder, const QString& query) const
{
    const QLocale locale;
    const QString needle = locale.toLower(trimmedSpacesAndTabs(query));
    QList<Note> kept;
    for (const Note& note : notes) {
        if (folder && note.folderID != *folder)
            continue;
        if (!needle.isEmpty() && !locale.toLower(note.title + u' ' + note.body).contains(needle))
            continue;
        kept.append(note);
    }
    return newestFirst(std::move(kept));
}

int NotesStore::count(const QUuid& folder) const
{
    return static_cast<int>(
        std::count_if(notes.cbegin(), notes.cend(), [&](const Note& note) { return note.folderID == folder; }));
}

QList<NotesStore::RecentTitle> NotesStore::recentTitles(int limit) const
{
    QHash<QUuid, QString> folderNames;
    for (const NoteFolder& folder : folders)
        folderNames.insert(folder.id, folder.name);
    QList<RecentTitle> titles;
    for (const Note& note : newestFirst(notes)) {
        if (titles.size() >= limit)
            break;
        if (!isBlankText(note.title))
            titles.append({ note.title, folderNames.value(note.folderID) });
    }
    return titles;
}

int NotesStore::nextNumber(const QString& kind) const
{
    int largest = 0;
    for (const Note& note : notes) {
        if (note.kind == kind && note.number)
            largest = std::max(largest, *note.number);
    }
    // A number read from the file may be as large as int allows; it must not wrap round.
    return largest == std::numeric_limits<int>::max() ? largest : largest + 1;
}

Note NotesStore::draft(const QUuid& folder)
{
    const auto blank = std::find_if(notes.begin(), notes.end(), [](const Note& note) { return note.isBlank(); });
    if (blank != notes.end()) {
        if (blank->folderID != folder) {
            blank->folderID = folder;
            save();
        }
        return *blank;
    }
    const QDateTime now = clock();
    Note note { QUuid::createUuid(), folder, QString(), QString(), now, now, std::nullopt, std::nullopt };
    notes.prepend(note);
    save();
    return note;
}

bool NotesStore::append(const QString& text, const QUuid& note)
{
    Note* target = find(note);
    if (!target)
        return false;
    const QString kept = withoutTrailingWhiteSpace(target->body);
    target->body = kept.isEmpty() ? text : kept + u'\n' + text;
    target->updated = clock();
    save();
    return true;
}

void NotesStore::update(Note note)
{
    Note* stored = find(note.id);
    if (!stored)
        return;
    note.updated = clock();
    *stored = std::move(note);
    save();
}

std::optional<NoteFolder> NotesStore::file(const QUuid& note, const std::optional<QString>& title,
    const std::optional<QString>& kind, const std::optional<int>& number, const std::optional<QString>& folderName)
{
    Note* target = find(note);
    if (!target)
        return std::nullopt;
    // A title the user typed is never replaced.
    if (title && !title->isEmpty() && isBlankText(target->title)) {
        target->title = *title;
        target->kind = kind;
        target->number = number;
    }
    if (folderName && !folderName->isEmpty()) {
        auto folder = folderNamed(*folderName, folders);
        if (!folder) {
            folder = NoteFolder { QUuid::createUuid(), *folderName };
            folders.append(*folder);
        }
        target->folderID = folder->id;
    }
    target->updated = clock();
    save();
    const NoteFolder* folder = findById(std::as_const(folders), target->folderID);
    return folder ? std::optional(*folder) : std::nullopt;
}

std::optional<NoteFolder> NotesStore::folderNamed(const QString& name, const QList<NoteFolder>& folders)
{
    const QString wanted = trimmedSpacesAndTabs(name);
    for (const NoteFolder& folder : folders) {
        if (trimmedSpacesAndTabs(folder.name).compare(wanted, Qt::CaseInsensitive) == 0)
            return folder;
    }
    return std::nullopt;
}

void NotesStore::renameFolder(const QUuid& folder, const QString& name)
{
    NoteFolder* target = findById(folders, folder);
    const QString trimmed = name.trimmed();
    if (!target || trimmed.isEmpty() || target->name == trimmed)
        return;
    target->name = trimmed;
    save();
}

void NotesStore::deleteNote(const QUuid& note)
{
    notes.removeIf([&](const Note& n) { return n.id == note; });
    save();
}

void NotesStore::deleteFolder(const QUuid& folder)
{
    folders.removeIf([&](const NoteFolder& f) { return f.id == folder; });
    notes.removeIf([&](const Note& note) { return note.folderID == folder; });
    save();
}

void NotesStore::removeEmpty(const QSet<QUuid>& except)
{
    const auto removed = notes.removeIf([&](const Note& note) { return note.isBlank() && !except.contains(note.id); });
    if (removed > 0)
        save();
}

NoteFolder NotesStore::addFolder()
{
    NoteFolder folder { QUuid::createUuid(), tr("New folder") };
    folders.append(folder);
    save();
    return folder;
}

} // namespace kavo
