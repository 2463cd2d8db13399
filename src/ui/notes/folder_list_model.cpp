#include "folder_list_model.h"

#include "notes/notes_manager.h"

#include <QHash>

#include <utility>

namespace kavo {

FolderListModel::FolderListModel(const NotesManager& notes, QObject* parent)
    : QAbstractListModel(parent)
    , m_notes(notes)
{
    reload();
    connect(&notes, &NotesManager::folderAdded, this, [this](const QUuid& id, int row) {
        beginInsertRows({}, row + 1, row + 1);
        m_rows.insert(row + 1, folderRow(id));
        endInsertRows();
        Q_EMIT selectedRowChanged();
    });
    connect(&notes, &NotesManager::folderChanged, this, [this](const QUuid& id, int row) {
        m_rows[row + 1].name = folderRow(id).name;
        Q_EMIT dataChanged(index(row + 1), index(row + 1), { NameRole });
    });
    connect(&notes, &NotesManager::folderRemoved, this, [this](const QUuid&, int row) {
        beginRemoveRows({}, row + 1, row + 1);
        m_rows.removeAt(row + 1);
        endRemoveRows();
        Q_EMIT selectedRowChanged();
    });
    connect(&notes, &NotesManager::noteAdded, this, &FolderListModel::refreshCounts);
    connect(&notes, &NotesManager::noteChanged, this, &FolderListModel::refreshCounts);
    connect(&notes, &NotesManager::noteRemoved, this, &FolderListModel::refreshCounts);
    connect(&notes, &NotesManager::cleared, this, [this] {
        beginResetModel();
        reload();
        endResetModel();
        Q_EMIT selectedRowChanged();
    });
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case IdRole:
        return row.id.isNull() ? QVariant() : QVariant(row.id.toString(QUuid::WithoutBraces));
    case Qt::DisplayRole:
    case NameRole:
        return row.name;
    case CountRole:
        return row.count;
    case SelectedRole:
        return row.id == m_selected;
    case RenamingRole:
        return !row.id.isNull() && row.id == m_renaming;
    }
    return {};
}

QHash<int, QByteArray> FolderListModel::roleNames() const
{
    return {
        { IdRole, "folderId" },
        { NameRole, "name" },
        { CountRole, "count" },
        { SelectedRole, "selected" },
        { RenamingRole, "renaming" },
    };
}

QUuid FolderListModel::folderAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).id : QUuid();
}

int FolderListModel::rowOf(const QUuid& folder) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).id == folder)
            return int(row);
    }
    return -1;
}

void FolderListModel::setSelected(const QUuid& folder)
{
    if (folder == m_selected)
        return;
    const QUuid previous = std::exchange(m_selected, folder);
    refreshRow(previous, SelectedRole);
    refreshRow(folder, SelectedRole);
    Q_EMIT selectedRowChanged();
}

void FolderListModel::setRenaming(const QUuid& folder)
{
    if (folder == m_renaming)
        return;
    const QUuid previous = std::exchange(m_renaming, folder);
    refreshRow(previous, RenamingRole);
    refreshRow(folder, RenamingRole);
}

FolderListModel::Row FolderListModel::folderRow(const QUuid& folder) const
{
    const NotesStore& store = m_notes.store();
    for (const NoteFolder& stored : store.folders) {
        if (stored.id == folder)
            return { folder, stored.name, store.count(folder) };
    }
    return { folder, QString(), 0 };
}

void FolderListModel::reload()
{
    const NotesStore& store = m_notes.store();
    m_rows = { { QUuid(), tr("All notes"), int(store.notes.size()) } };
    for (const NoteFolder& folder : store.folders)
        m_rows.append({ folder.id, folder.name, store.count(folder.id) });
}

void FolderListModel::refreshCounts()
{
    const NotesStore& store = m_notes.store();
    QHash<QUuid, int> counts;
    for (const Note& note : store.notes)
        ++counts[note.folderID];
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        const int count = row == 0 ? int(store.notes.size()) : counts.value(m_rows.at(row).id);
        if (count == m_rows.at(row).count)
            continue;
        m_rows[row].count = count;
        Q_EMIT dataChanged(index(int(row)), index(int(row)), { CountRole });
    }
}

void FolderListModel::refreshRow(const QUuid& folder, Role role)
{
    // Rows of folders the manager has not announced yet are drawn right when they come.
    const int row = rowOf(folder);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), { role });
}

} // namespace kavo
