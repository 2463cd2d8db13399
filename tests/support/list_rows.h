#pragma once

#include <QList>
#include <QObject>
#include <QTest>
#include <QUuid>

namespace kavo::test {

template <typename Record> QList<QUuid> idsOf(const QList<Record>& records)
{
    QList<QUuid> ids;
    for (const Record& record : records)
        ids.append(record.id);
    return ids;
}

/// The rows of a list model that follows what a store's manager announces for one of its lists.
struct ListRows
{
    QList<QUuid> ids;
    int changes = 0;

    template <typename Manager, typename Signal>
    void follow(Manager& manager, Signal added, Signal changed, Signal removed)
    {
        QObject::connect(&manager, added, [this](const QUuid& id, int row) { ids.insert(row, id); });
        QObject::connect(&manager, changed, [this](const QUuid& id, int row) {
            QCOMPARE(ids.at(row), id);
            ++changes;
        });
        QObject::connect(&manager, removed, [this](const QUuid& id, int row) {
            QCOMPARE(ids.at(row), id);
            ids.removeAt(row);
        });
    }
};

} // namespace kavo::test
