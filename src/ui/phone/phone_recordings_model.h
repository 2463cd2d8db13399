#pragma once

#include "store/history.h"

#include <QAbstractListModel>
#include <QtQmlIntegration/qqmlintegration.h>

#include <functional>

namespace kavo {

class HistoryManager;

/// The History entries dictated on the phone, newest first, as rows for the phone screen. Follows the History
/// entry by entry, so a change touches only its own row.
class PhoneRecordingsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The phone screen's view owns its recordings")
    Q_PROPERTY(bool empty READ isEmpty NOTIFY emptyChanged)

public:
    enum Role { IdRole = Qt::UserRole, TextRole, TimeRole, WordsRole };

    explicit PhoneRecordingsModel(const HistoryManager& history, QObject* parent = nullptr);

    /// The moment the time texts are written against ("Today", "Yesterday").
    void setClock(std::function<QDateTime()> clock);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    bool isEmpty() const { return m_recordings.isEmpty(); }
    /// The phone entry with this id; none when the id is not one of the rows.
    std::optional<HistoryEntry> recording(const QUuid& id) const;

Q_SIGNALS:
    void emptyChanged();

private:
    void reload();
    void entryAdded(const QUuid& id, int historyRow);
    void entryChanged(const QUuid& id, int historyRow);
    void entryRemoved(int historyRow);
    void insertRecording(const HistoryEntry& entry, int historyRow);
    void removeRecording(int historyRow);
    /// The row of the phone entry at `historyRow` of the History, or the row a phone entry put there would take.
    int rowAt(int historyRow) const;
    void announceEmptiness(bool wasEmpty);

    const HistoryManager& m_history;
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;
    // Whether each History entry, in the History's order, came from the phone: the manager tells rows of the
    // whole History, and this turns them into rows of this list.
    QList<bool> m_fromPhone;
    QList<HistoryEntry> m_recordings;
};

} // namespace kavo
