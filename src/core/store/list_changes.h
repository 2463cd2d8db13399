#pragma once

#include <QList>
#include <QSet>

namespace kavo {

/// How a list of records with identities went from `before` to `after`, told row by row: removals from the last
/// row to the first (each row as it stands when that record goes), then additions in ascending rows of `after`,
/// then changes. A list model that replays the calls in order ends up with `after`. Returns false, having told
/// nothing, when records that both versions hold changed their order: then only a reset describes the change.
template <typename Record, typename IdOf, typename Removed, typename Added, typename Changed>
bool announceListChanges(
    const QList<Record>& before, const QList<Record>& after, IdOf idOf, Removed removed, Added added, Changed changed)
{
    using Id = decltype(idOf(before.first()));
    QSet<Id> beforeIds, afterIds;
    for (const Record& record : before)
        beforeIds.insert(idOf(record));
    for (const Record& record : after)
        afterIds.insert(idOf(record));

    QList<Id> keptBefore, keptAfter;
    for (const Record& record : before) {
        if (afterIds.contains(idOf(record)))
            keptBefore.append(idOf(record));
    }
    for (const Record& record : after) {
        if (beforeIds.contains(idOf(record)))
            keptAfter.append(idOf(record));
    }
    if (keptBefore != keptAfter)
        return false;

    for (qsizetype row = before.size() - 1; row >= 0; --row) {
        if (!afterIds.contains(idOf(before[row])))
            removed(idOf(before[row]), int(row));
    }
    for (qsizetype row = 0; row < after.size(); ++row) {
        if (!beforeIds.contains(idOf(after[row])))
            added(idOf(after[row]), int(row));
    }
    qsizetype old = 0;
    for (qsizetype row = 0; row < after.size(); ++row) {
        if (!beforeIds.contains(idOf(after[row])))
            continue;
        while (idOf(before[old]) != idOf(after[row]))
            ++old;
        if (!(before[old] == after[row]))
            changed(idOf(after[row]), int(row));
    }
    return true;
}

} // namespace kavo
