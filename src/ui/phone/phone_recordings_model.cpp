#include "phone_recordings_model.h"

#include "format/format.h"
#include "store/history_manager.h"

#include <algorithm>

namespace kavo {

namespace {

bool isFromPhone(const HistoryEntry& entry)
{
    return entry.source == DictationSource::phone;
}

} // namespace

PhoneRecordingsModel::PhoneRecordingsModel(const HistoryManager& history, QObject* parent)
    : QAbstractListModel(parent)
    , m_history(history)
{
    connect(&history, &HistoryManager::entryAdded, this, &PhoneRecordingsModel::entryAdded);
    connect(&history, &HistoryManager::entryChanged, this, &PhoneRecordingsModel::entryChanged);
    connect(&history, &HistoryManager::entryRemoved, this,
        [this](const QUuid&, int historyRow) { entryRemoved(historyRow); });
    connect(&history, &HistoryManager::cleared, this, &PhoneRecordingsModel::reload);
    reload();
}

void PhoneRecordingsModel::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
    if (!m_recordings.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_recordings.size()) - 1), { TimeRole });
}

int PhoneRecordingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_recordings.size());
}

QVariant PhoneRecordingsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const HistoryEntry& entry = m_recordings[index.row()];
    switch (role) {
    case IdRole:
        return entry.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case TextRole:
        return entry.text;
    case TimeRole:
        return Format::dayAndTime(entry.date, m_clock());
    case WordsRole:
        return Format::wordCount(History::wordCount(entry.text));
    }
    return {};
}

QHash<int, QByteArray> PhoneRecordingsModel::roleNames() const
{
    return { { IdRole, "recordingId" }, { TextRole, "text" }, { TimeRole, "time" }, { WordsRole, "words" } };
}

std::optional<HistoryEntry> PhoneRecordingsModel::recording(const QUuid& id) const
{
    const auto found = std::ranges::find(m_recordings, id, &HistoryEntry::id);
    return found == m_recordings.end() ? std::nullopt : std::optional(*found);
}

void PhoneRecordingsModel::reload()
{
    const bool wasEmpty = isEmpty();
    beginResetModel();
    m_fromPhone.clear();
    m_recordings.clear();
    for (const HistoryEntry& entry : m_history.entries()) {
        m_fromPhone.append(isFromPhone(entry));
        if (isFromPhone(entry))
            m_recordings.append(entry);
    }
    endResetModel();
    announceEmptiness(wasEmpty);
}

void PhoneRecordingsModel::entryAdded(const QUuid& id, int historyRow)
{
    if (const std::optional<HistoryEntry> entry = m_history.find(id))
        insertRecording(*entry, historyRow);
}

void PhoneRecordingsModel::entryChanged(const QUuid& id, int historyRow)
{
    const std::optional<HistoryEntry> entry = m_history.find(id);
    if (!entry)
        return;
    if (isFromPhone(*entry) != m_fromPhone[historyRow]) {
        removeRecording(historyRow);
        insertRecording(*entry, historyRow);
        return;
    }
    if (!isFromPhone(*entry))
        return;
    const int row = rowAt(historyRow);
    m_recordings[row] = *entry;
    Q_EMIT dataChanged(index(row), index(row));
}

void PhoneRecordingsModel::entryRemoved(int historyRow)
{
    removeRecording(historyRow);
}

void PhoneRecordingsModel::insertRecording(const HistoryEntry& entry, int historyRow)
{
    m_fromPhone.insert(historyRow, isFromPhone(entry));
    if (!isFromPhone(entry))
        return;
    const bool wasEmpty = isEmpty();
    const int row = rowAt(historyRow);
    beginInsertRows({}, row, row);
    m_recordings.insert(row, entry);
    endInsertRows();
    announceEmptiness(wasEmpty);
}

void PhoneRecordingsModel::removeRecording(int historyRow)
{
    const bool fromPhone = m_fromPhone[historyRow];
    const int row = rowAt(historyRow);
    m_fromPhone.remove(historyRow);
    if (!fromPhone)
        return;
    beginRemoveRows({}, row, row);
    m_recordings.remove(row);
    endRemoveRows();
    announceEmptiness(false);
}

int PhoneRecordingsModel::rowAt(int historyRow) const
{
    return int(std::count(m_fromPhone.cbegin(), m_fromPhone.cbegin() + historyRow, true));
}

void PhoneRecordingsModel::announceEmptiness(bool wasEmpty)
{
    if (wasEmpty != isEmpty())
        Q_EMIT emptyChanged();
}

} // namespace kavo
