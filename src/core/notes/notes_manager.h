#pragma once

#include "notes/notes_store.h"

#include <QObject>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

/// The notes and folders the application shows and changes, announcing every change note by note and folder by
/// folder so that list models can update their rows without a reset. The store saves notes.json itself whenever a
/// change must be kept. Main thread only.
class NotesManager : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the notes")

public:
    explicit NotesManager(QObject* parent = nullptr);

    /// Reads `path` as at launch: the starter store when it cannot be read, the file set aside and the starter
    /// store when it cannot be decoded.
    void load(const QString& path = NotesStore::filePath());

    const NotesStore& store() const { return m_store; }

    /// Applies `change` to the store and announces what it did to each note and folder; returns what `change`
    /// returned.
    template <typename Change> auto change(Change&& change);

Q_SIGNALS:
    void noteAdded(const QUuid& id, int row);
    void noteChanged(const QUuid& id, int row);
    /// `row` is the note's row as it stood when it went.
    void noteRemoved(const QUuid& id, int row);
    void folderAdded(const QUuid& id, int row);
    void folderChanged(const QUuid& id, int row);
    void folderRemoved(const QUuid& id, int row);
    /// Everything was replaced (a load) or moved about: read the lists again.
    void cleared();

private:
    void announce(const NotesStore& before);

    NotesStore m_store;
};

template <typename Change> auto NotesManager::change(Change&& change)
{
    const NotesStore before = m_store;
    if constexpr (std::is_void_v<decltype(change(m_store))>) {
        change(m_store);
        announce(before);
    } else {
        auto result = change(m_store);
        announce(before);
        return result;
    }
}

} // namespace kavo
