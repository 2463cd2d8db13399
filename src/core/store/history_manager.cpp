#include "history_manager.h"

#include "store/list_changes.h"

namespace kavo {

namespace {

QString newestDoneText(const History& history)
{
    for (const HistoryEntry& entry : history.entries) {
        if (entry.status == HistoryEntry::Status::done)
            return entry.text;
    }
    return {};
}

} // namespace

HistoryManager::HistoryManager(QObject* parent)
    : QObject(parent)
{ }

void HistoryManager::load(const QString& path)
{
    m_history = History::load(path);
    Q_EMIT cleared();
    Q_EMIT lastTranscriptChanged();
}

std::optional<HistoryEntry> HistoryManager::find(const QUuid& id) const
{
    for (const HistoryEntry& entry : m_history.entries) {
        if (entry.id == id)
            return entry;
    }
    return std::nullopt;
}

QString HistoryManager::lastTranscript() const
{
    return newestDoneText(m_history);
}

void HistoryManager::announce(const History& before)
{
    // A History emptied at once is a clear, not a thousand removals.
    const bool cleared = m_history.entries.isEmpty() && !before.entries.isEmpty();
    if (cleared
        || !announceListChanges(
            before.entries, m_history.entries, [](const HistoryEntry& entry) { return entry.id; },
            [this](const QUuid& id, int row) { Q_EMIT entryRemoved(id, row); },
            [this](const QUuid& id, int row) { Q_EMIT entryAdded(id, row); },
            [this](const QUuid& id, int row) { Q_EMIT entryChanged(id, row); }))
        Q_EMIT this->cleared();
    if (newestDoneText(m_history) != newestDoneText(before))
        Q_EMIT lastTranscriptChanged();
}

} // namespace kavo
