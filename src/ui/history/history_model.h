#pragma once

#include "format/app_glyph.h"
#include "store/history.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class DayClock;
class DictationState;
class HistoryManager;

/// The History entries the History screen lists, newest first: discarded ones only when asked for, and only those
/// whose text and source label contain the search text, ignoring case and diacritics. Follows the History entry by
/// entry, and the entries being transcribed again. The day heading is the list's section.
class HistoryModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The History screen's view owns its list")

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        TextRole,
        HasTextRole,
        AccessibleNameRole,
        WordsRole,
        IconNameRole,
        IconToneRole,
        SourceLabelRole,
        TimeRole,
        DayRole,
        FailedRole,
        DiscardedRole,
        AudioShownRole,
        AudioTitleRole,
        AudioLineRole,
        AudioActionRole,
        RetryingRole,
        EditingRole,
    };

    HistoryModel(const HistoryManager& history, const DictationState& dictation, const DayClock& clock,
        QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString search() const { return m_search; }
    void setSearch(const QString& search);
    bool showsDiscarded() const { return m_showDiscarded; }
    void setShowDiscarded(bool show);

    /// The entry whose text is open in the inline editor; a null id when none is.
    QUuid editing() const { return m_editing; }
    void setEditing(const QUuid& id);

    /// The listed row of the entry, -1 when it is not listed.
    int rowOf(const QUuid& id) const { return int(m_listed.indexOf(id)); }

    /// The text as searched: compatibility-decomposed, without combining marks, case-folded.
    static QString folded(const QString& text);

private:
    // What a card shows that is worked out once per version of an entry.
    struct Entry
    {
        HistoryEntry entry;
        QString sourceLabel;
        AppGlyph::Icon icon;
        QString words;
        QString haystack;
        bool listed = false;
    };

    static Entry prepared(const HistoryEntry& entry);
    bool matches(const Entry& entry) const;
    // The row an entry at `historyRow` of the History takes when listed: the listed entries before it.
    int listedRowFor(qsizetype historyRow) const;
    void list(Entry& entry, qsizetype historyRow);
    void unlist(Entry& entry);
    void entryAdded(const QUuid& id, int row);
    void entryChanged(const QUuid& id, int row);
    void entryRemoved(const QUuid& id, int row);
    void rowChanged(const QUuid& id);
    void reload();
    void refilter();

    QString audioTitle(const Entry& entry) const;

    const HistoryManager& m_history;
    const DictationState& m_dictation;
    const DayClock& m_clock;
    QHash<QUuid, Entry> m_entries;
    QList<QUuid> m_order; ///< every entry, in the History's order
    QList<QUuid> m_listed; ///< the rows
    QString m_search;
    QString m_foldedSearch;
    bool m_showDiscarded = false;
    QUuid m_editing;
};

} // namespace kavo
