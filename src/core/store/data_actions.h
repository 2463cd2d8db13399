#pragma once

#include "store/data_stores.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace kavo {

/// What the user can do with all their data at once, on files they have chosen: export everything into one ZIP
/// file, export and import the vocabulary's words, and delete History, notes and vocabulary. Main thread only.
class DataActions
{
public:
    explicit DataActions(DataStores& stores);

    /// Writes a ZIP file with the folder "kavo-voice" holding vocabulary.json (the words and snippets),
    /// history.json and notes.json, saved first so the copies are current; a file already at `destination` is
    /// replaced. Returns the written file's name, or none after a log line.
    std::optional<QString> exportAll(const QString& destination);
    /// Writes the vocabulary as a word list; returns the file's name, or none after a log line.
    std::optional<QString> exportWords(const QString& destination);
    /// Puts the words of a word list that are not in the vocabulary yet at its front, in the file's order; returns
    /// how many, or none when the file cannot be read.
    std::optional<int> importWords(const QString& source);
    /// Clears History with its recordings, replaces the notes with the starter folders, empties the vocabulary and
    /// the snippets and resets the log. The other settings stay.
    void wipe();

    /// "kavo-voice-YYYY-MM-DD.zip" for that day.
    static QString archiveName(const QDate& day);
    /// "lugat.txt".
    static QString wordListName();
    /// vocabulary.json of the archive: {"snippets": [...], "vocabulary": [...]}, indented, keys sorted.
    static QByteArray vocabularyExport(const QList<VocabularyWord>& vocabulary, const QList<Snippet>& snippets);

private:
    DataStores& m_stores;
};

} // namespace kavo
