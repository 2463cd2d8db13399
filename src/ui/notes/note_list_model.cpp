#include "note_list_model.h"

#include "format/format.h"
#include "notes/notes_manager.h"

#include <QSet>

#include <utility>

namespace kavo {

NoteListModel::NoteListModel(const NotesManager& notes, QObject* parent)
    : QAbstractListModel(parent)
    , m_notes(notes)
{
    m_rows = wantedRows();
    connect(&notes, &NotesManager::noteAdded, this, &NoteListModel::follow);
    connect(&notes, &NotesManager::noteChanged, this, &NoteListModel::follow);
    connect(&notes, &NotesManager::noteRemoved, this, &NoteListModel::follow);
    connect(&notes, &NotesManager::cleared, this, &NoteListModel::reload);
}

int NoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant NoteListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case IdRole:
        return row.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case TitleRole:
        return row.title.trimmed().isEmpty() ? tr("Untitled note") : row.title;
    case SnippetRole:
        return row.snippet.trimmed().isEmpty() ? tr("Empty") : row.snippet;
    case TimeRole:
        return timeText(row.updated, QDateTime::currentDateTime());
    case SelectedRole:
        return row.id == m_selected;
    }
    return {};
}

QHash<int, QByteArray> NoteListModel::roleNames() const
{
    return {
        { IdRole, "noteId" },
        { TitleRole, "title" },
        { SnippetRole, "snippet" },
        { TimeRole, "time" },
        { SelectedRole, "selected" },
    };
}

void NoteListModel::setFilter(const QUuid& folder, const QString& query)
{
    if (folder == m_folder && query == m_query)
        return;
    m_folder = folder;
    m_query = query;
    reload();
}

void NoteListModel::setSelected(const QUuid& note)
{
    if (note == m_selected)
        return;
    const int previous = rowOf(std::exchange(m_selected, note));
    if (previous >= 0)
        Q_EMIT dataChanged(index(previous), index(previous), { SelectedRole });
    updateSelectedRow();
    if (m_selectedRow >= 0)
        Q_EMIT dataChanged(index(m_selectedRow), index(m_selectedRow), { SelectedRole });
}

QUuid NoteListModel::noteAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).id : QUuid();
}

int NoteListModel::rowOf(const QUuid& note) const
{
    if (note.isNull())
        return -1;
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).id == note)
            return int(row);
    }
    return -1;
}

QString NoteListModel::timeText(const QDateTime& updated, const QDateTime& now)
{
    if (Calendar::current().isSameDay(updated, now))
        return Format::time(updated);
    return Format::dayAndTime(updated, now);
}

QList<NoteListModel::Row> NoteListModel::wantedRows() const
{
    QList<Row> rows;
    for (const Note& note :
        m_notes.store().notesIn(m_folder.isNull() ? std::nullopt : std::optional(m_folder), m_query))
        rows.append({ note.id, note.title, note.snippet(), note.updated });
    return rows;
}

void NoteListModel::reload()
{
    beginResetModel();
    m_rows = wantedRows();
    endResetModel();
    // A view's current row was reset with the rows: told even when the number stays.
    m_selectedRow = rowOf(m_selected);
    Q_EMIT selectedRowChanged();
}

// Brings the rows to the listing as the store stands now with the fewest row moves: the listing is sorted, so one
// change of a note removes, inserts, moves or redraws about one row.
void NoteListModel::follow()
{
    const QList<Row> wanted = wantedRows();
    QSet<QUuid> wantedIds;
    for (const Row& row : wanted)
        wantedIds.insert(row.id);
    for (int row = int(m_rows.size()) - 1; row >= 0; --row) {
        if (wantedIds.contains(m_rows.at(row).id))
            continue;
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    }
    for (int row = 0; row < wanted.size(); ++row) {
        const Row& fresh = wanted.at(row);
        if (row >= m_rows.size() || m_rows.at(row).id != fresh.id) {
            int from = row + 1;
            while (from < m_rows.size() && m_rows.at(from).id != fresh.id)
                ++from;
            if (from < m_rows.size()) {
                beginMoveRows({}, from, from, {}, row);
                m_rows.move(from, row);
                endMoveRows();
            } else {
                beginInsertRows({}, row, row);
                m_rows.insert(row, fresh);
                endInsertRows();
            }
        }
        if (m_rows.at(row) != fresh) {
            m_rows[row] = fresh;
            Q_EMIT dataChanged(index(row), index(row), { TitleRole, SnippetRole, TimeRole });
        }
    }
    updateSelectedRow();
}

void NoteListModel::updateSelectedRow()
{
    const int row = rowOf(m_selected);
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    Q_EMIT selectedRowChanged();
}

} // namespace kavo
