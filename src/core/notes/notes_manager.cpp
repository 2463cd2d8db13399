#include "notes_manager.h"

#include "store/list_changes.h"

namespace kavo {

NotesManager::NotesManager(QObject* parent)
    : QObject(parent)
    , m_store(NotesStore::starter())
{ }

void NotesManager::load(const QString& path)
{
    m_store = NotesStore::load(path);
    Q_EMIT cleared();
}

void NotesManager::announce(const NotesStore& before)
{
    const auto idOf = [](const auto& record) { return record.id; };
    // Folders first, so that a note filed into a new folder never names a folder a view does not know yet.
    const bool told = announceListChanges(
                          before.folders, m_store.folders, idOf,
                          [this](const QUuid& id, int row) { Q_EMIT folderRemoved(id, row); },
                          [this](const QUuid& id, int row) { Q_EMIT folderAdded(id, row); },
                          [this](const QUuid& id, int row) { Q_EMIT folderChanged(id, row); })
        && announceListChanges(
            before.notes, m_store.notes, idOf, [this](const QUuid& id, int row) { Q_EMIT noteRemoved(id, row); },
            [this](const QUuid& id, int row) { Q_EMIT noteAdded(id, row); },
            [this](const QUuid& id, int row) { Q_EMIT noteChanged(id, row); });
    if (!told)
        Q_EMIT cleared();
}

} // namespace kavo
