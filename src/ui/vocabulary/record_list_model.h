#pragma once

#include "store/list_changes.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace kavo {

/// A list model over records with ids (`Record::id`) that follows new versions of its list row by row: runs of
/// removed and added records and changed rows are told as such, so views keep their items, scroll position and
/// focus. Only an emptied list or a change of order is a reset.
template <typename Record> class RecordListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_records.size()); }

    const QList<Record>& records() const { return m_records; }

protected:
    const Record* recordAt(const QModelIndex& index) const
    {
        return checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
            ? &m_records[index.row()]
            : nullptr;
    }

    void follow(const QList<Record>& after)
    {
        // The callbacks below change m_records while the announcement still reads the old version.
        const QList<Record> before = m_records;
        if (after.isEmpty() && !before.isEmpty()) {
            resetTo(after);
            return;
        }
        Run removals, additions;
        const bool told = announceListChanges(
            before, after, [](const Record& record) { return record.id; },
            [&](const QUuid&, int row) {
                // Removals come from the last row up, so a run grows at its start.
                if (removals.length > 0 && row + 1 != removals.start)
                    removeRun(std::exchange(removals, {}));
                removals = { row, removals.length + 1 };
            },
            [&](const QUuid&, int row) {
                if (removals.length > 0)
                    removeRun(std::exchange(removals, {}));
                if (additions.length > 0 && row != additions.start + additions.length)
                    insertRun(std::exchange(additions, {}), after);
                if (additions.length == 0)
                    additions.start = row;
                ++additions.length;
            },
            [&](const QUuid&, int row) {
                if (removals.length > 0)
                    removeRun(std::exchange(removals, {}));
                if (additions.length > 0)
                    insertRun(std::exchange(additions, {}), after);
                m_records[row] = after[row];
                Q_EMIT dataChanged(index(row), index(row));
            });
        if (!told) {
            resetTo(after);
            return;
        }
        if (removals.length > 0)
            removeRun(removals);
        if (additions.length > 0)
            insertRun(additions, after);
    }

private:
    struct Run
    {
        int start = 0;
        int length = 0;
    };

    void removeRun(Run run)
    {
        beginRemoveRows({}, run.start, run.start + run.length - 1);
        m_records.remove(run.start, run.length);
        endRemoveRows();
    }

    void insertRun(Run run, const QList<Record>& after)
    {
        beginInsertRows({}, run.start, run.start + run.length - 1);
        m_records.insert(run.start, run.length, Record {});
        std::copy_n(after.cbegin() + run.start, run.length, m_records.begin() + run.start);
        endInsertRows();
    }

    void resetTo(const QList<Record>& after)
    {
        beginResetModel();
        m_records = after;
        endResetModel();
    }

    QList<Record> m_records;
};

} // namespace kavo
