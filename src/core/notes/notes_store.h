#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

namespace kavo {

/// A folder notes are filed in; names need not be unique.
struct NoteFolder
{
    QUuid id;
    QString name;

    bool operator==(const NoteFolder&) const = default;

    QJsonObject toJson() const;
    /// Both keys are required; anything else gives nothing.
    static std::optional<NoteFolder> fromJson(const QJsonObject& object);
};

/// One note: typed on the Notes screen or dictated into.
struct Note
{
    QUuid id;
    QUuid folderID; ///< may name a folder that no longer exists
    QString title;
    QString body; ///< lines separated by "\n"
    QDateTime created;
    QDateTime updated;
    std::optional<QString> kind; ///< set when classification gave the note its title
    std::optional<int> number; ///< the running meeting number of a classified meeting

    bool operator==(const Note&) const = default;

    /// Title and body hold nothing but white space and line breaks.
    bool isBlank() const;
    /// The first non-empty line of the body, shown under the title.
    QString snippet() const;

    QJsonObject toJson() const;
    /// "kind" and "number" are optional (null reads as absent); every other key is required.
    static std::optional<Note> fromJson(const QJsonObject& object);
};

/// The user's notes and folders, kept in notes.json. A plain value: every change that the caller must keep
/// rewrites the whole file at once; write failures are ignored and the value in memory stays authoritative.
struct NotesStore
{
    /// A title and the name of its note's folder, the context for classifying a new note.
    struct RecentTitle
    {
        QString title;
        QString folderName;

        bool operator==(const RecentTitle&) const = default;
    };

    QList<NoteFolder> folders; ///< in display order
    QList<Note> notes; ///< in stored order; new blank notes come first

    /// The time stamped on changes; whole seconds in UTC, as the file keeps them. Replaceable for tests.
    std::function<QDateTime()> clock = &NotesStore::currentTime;

    /// Two folders, "Personal" and "Ideas" in the interface language, and no notes.
    static NotesStore starter();
    /// notes.json in the data folder.
    static QString filePath();
    static QDateTime currentTime();

    /// Strict: a missing key, a wrong type or a date in another form makes the whole document unreadable.
    static std::optional<NotesStore> decode(const QByteArray& bytes, QString* error = nullptr);
    /// Indented JSON; UUIDs in upper case; "kind" and "number" only when present.
    QByteArray encode() const;

    /// The store as at launch: starter() when the file cannot be read, the file set aside and starter() when
    /// it cannot be decoded. Nothing is written either way.
    static NotesStore load(const QString& path = filePath());
    /// Writes filePath() atomically, creating the data folder; failures are ignored.
    void save() const;

    Note* find(const QUuid& note);
    const Note* find(const QUuid& note) const;

    /// Notes of a folder (all with none) whose title + " " + body contains the query trimmed of spaces and
    /// tabs, case-insensitively in the user's locale; newest `updated` first, equal dates in stored order.
    QList<Note> notesIn(const std::optional<QUuid>& folder, const QString& query) const;
    int count(const QUuid& folder) const;
    /// Titled notes, newest first, at most `limit`; the folder name is empty when the folder is gone.
    QList<RecentTitle> recentTitles(int limit) const;
    /// One more than the largest number among notes of exactly this kind; 1 when there is none.
    int nextNumber(const QString& kind) const;

    /// The first blank note, moved into the folder (dates untouched), or a new one at the front.
    /// Saves only when something changed.
    Note draft(const QUuid& folder);
    /// Adds the text on a new line after the body's trailing white space is removed. False, with nothing
    /// changed, when the note does not exist.
    bool append(const QString& text, const QUuid& note);
    /// Replaces the stored note of the same UUID, stamping `updated`; does nothing when there is none.
    void update(Note note);
    /// Applies a classification: the title, kind and number only to an untitled note, the folder (found by
    /// folderNamed() or appended) always; stamps `updated`. Returns the note's folder, or none when the note
    /// or its folder does not exist.
    std::optional<NoteFolder> file(const QUuid& note, const std::optional<QString>& title,
        const std::optional<QString>& kind, const std::optional<int>& number, const std::optional<QString>& folderName);
    /// The first folder whose name, trimmed of spaces and tabs, equals the given name trimmed the same way,
    /// regardless of case.
    static std::optional<NoteFolder> folderNamed(const QString& name, const QList<NoteFolder>& folders);

    /// Sets the name trimmed of white space and line breaks; a blank name keeps the old one.
    void renameFolder(const QUuid& folder, const QString& name);
    void deleteNote(const QUuid& note);
    /// Removes the folder together with its notes.
    void deleteFolder(const QUuid& folder);
    /// Drops blank notes not listed in `except`; saves only when one was dropped.
    void removeEmpty(const QSet<QUuid>& except);
    /// Appends a folder named "New folder" in the interface language.
    NoteFolder addFolder();

    Q_DECLARE_TR_FUNCTIONS(NotesStore)
};

} // namespace kavo
