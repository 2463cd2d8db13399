#pragma once

#include "store/history.h"

#include <QObject>
#include <QtQmlIntegration/qqmlintegration.h>

#include <optional>

namespace kavo {

/// The dictation History the application shows and adds to, announcing every change entry by entry so that a list
/// model can update its rows without a reset. Every change is saved to history.json at once. Main thread only.
class HistoryManager : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the History")
    Q_PROPERTY(QString lastTranscript READ lastTranscript NOTIFY lastTranscriptChanged)

public:
    explicit HistoryManager(QObject* parent = nullptr);

    /// Reads `path` as at launch: empty when it cannot be read, the file set aside when it cannot be decoded.
    void load(const QString& path = History::filePath());

    const History& history() const { return m_history; }
    const QList<HistoryEntry>& entries() const { return m_history.entries; }
    std::optional<HistoryEntry> find(const QUuid& id) const;

    /// Applies `change` to the History and announces what it did to each entry.
    template <typename Change> auto change(Change&& change);

    /// The text of the newest done entry; empty when there is none.
    QString lastTranscript() const;

Q_SIGNALS:
    void entryAdded(const QUuid& id, int row);
    void entryChanged(const QUuid& id, int row);
    /// `row` is the entry's row as it stood when it went.
    void entryRemoved(const QUuid& id, int row);
    /// Every entry went or was replaced (a clear, a load): read the list again.
    void cleared();
    void lastTranscriptChanged();

private:
    void announce(const History& before);

    History m_history;
};

template <typename Change> auto HistoryManager::change(Change&& change)
{
    const History before = m_history;
    if constexpr (std::is_void_v<decltype(change(m_history))>) {
        change(m_history);
        announce(before);
    } else {
        auto result = change(m_history);
        announce(before);
        return result;
    }
}

} // namespace kavo
