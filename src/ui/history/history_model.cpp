#include "history_model.h"

#include "day_clock.h"
#include "dictation/dictation_state.h"
#include "format/format.h"
#include "store/history_manager.h"

namespace kavo {

using Status = HistoryEntry::Status;

namespace {

bool isCombiningMark(char32_t code)
{
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

// A discarded dictation whose recording was kept can still be turned into text.
bool isNeverTranscribed(const HistoryEntry& entry)
{
    return entry.status == Status::discarded && entry.text.isEmpty() && entry.audioFile.has_value();
}

} // namespace

HistoryModel::HistoryModel(
    const HistoryManager& history, const DictationState& dictation, const DayClock& clock, QObject* parent)
    : QAbstractListModel(parent)
    , m_history(history)
    , m_dictation(dictation)
    , m_clock(clock)
{
    connect(&history, &HistoryManager::entryAdded, this, &HistoryModel::entryAdded);
    connect(&history, &HistoryManager::entryChanged, this, &HistoryModel::entryChanged);
    connect(&history, &HistoryManager::entryRemoved, this, &HistoryModel::entryRemoved);
    connect(&history, &HistoryManager::cleared, this, &HistoryModel::reload);
    connect(&dictation, &DictationState::retryingChanged, this, &HistoryModel::rowChanged);
    connect(&clock, &DayClock::dayChanged, this, [this] {
        if (!m_listed.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(m_listed.size()) - 1), { DayRole });
    });
    reload();
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_listed.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry& row = *m_entries.constFind(m_listed.at(index.row()));
    const HistoryEntry& entry = row.entry;
    const bool retrying = m_dictation.isRetrying(entry.id);
    const bool audioShown = entry.status == Status::failed || isNeverTranscribed(entry) || retrying;
    switch (Role(role)) {
    case IdRole:
        return entry.id;
    case TextRole:
        return entry.text;
    case HasTextRole:
        return !entry.text.isEmpty();
    case AccessibleNameRole:
        return entry.text.isEmpty() ? audioTitle(row) : entry.text;
    case WordsRole:
        return row.words;
    case IconNameRole:
        return row.icon.name;
    case IconToneRole:
        return QVariant::fromValue(row.icon.tone);
    case SourceLabelRole:
        return row.sourceLabel;
    case TimeRole:
        return Format::time(entry.date, m_clock.calendar().timeZone);
    case DayRole:
        return Format::day(entry.date, m_clock.now(), m_clock.calendar());
    case FailedRole:
        return entry.status == Status::failed;
    case DiscardedRole:
        return entry.status == Status::discarded;
    case AudioShownRole:
        return audioShown;
    case AudioTitleRole:
        return audioTitle(row);
    case AudioLineRole:
        return audioShown ? tr("Audio saved on your computer · ") + Format::duration(entry.duration) : QString();
    case AudioActionRole:
        return audioShown ? (isNeverTranscribed(entry) ? tr("Transcribe") : tr("Retry")) : QString();
    case RetryingRole:
        return retrying;
    case EditingRole:
        return !m_editing.isNull() && entry.id == m_editing;
    }
    return {};
}

QHash<int, QByteArray> HistoryModel::roleNames() const
{
    return {
        { IdRole, "entryId" },
        { TextRole, "text" },
        { HasTextRole, "hasText" },
        { AccessibleNameRole, "accessibleName" },
        { WordsRole, "words" },
        { IconNameRole, "iconName" },
        { IconToneRole, "iconTone" },
        { SourceLabelRole, "sourceLabel" },
        { TimeRole, "time" },
        { DayRole, "day" },
        { FailedRole, "failed" },
        { DiscardedRole, "discarded" },
        { AudioShownRole, "audioShown" },
        { AudioTitleRole, "audioTitle" },
        { AudioLineRole, "audioLine" },
        { AudioActionRole, "audioAction" },
        { RetryingRole, "retrying" },
        { EditingRole, "editing" },
    };
}

void HistoryModel::setSearch(const QString& search)
{
    if (search == m_search)
        return;
    m_search = search;
    m_foldedSearch = folded(search);
    refilter();
}

void HistoryModel::setShowDiscarded(bool show)
{
    if (show == m_showDiscarded)
        return;
    m_showDiscarded = show;
    refilter();
}

void HistoryModel::setEditing(const QUuid& id)
{
    if (id == m_editing)
        return;
    const QUuid before = std::exchange(m_editing, id);
    rowChanged(before);
    rowChanged(id);
}

QString HistoryModel::folded(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (qsizetype at = 0; at < decomposed.size(); ++at) {
        const QChar unit = decomposed.at(at);
        if (unit.isHighSurrogate() && at + 1 < decomposed.size() && decomposed.at(at + 1).isLowSurrogate()) {
            const QChar low = decomposed.at(++at);
            if (!isCombiningMark(QChar::surrogateToUcs4(unit, low)))
                bare.append(unit).append(low);
        } else if (!isCombiningMark(unit.unicode())) {
            bare.append(unit);
        }
    }
    return bare.toCaseFolded();
}

HistoryModel::Entry HistoryModel::prepared(const HistoryEntry& entry)
{
    // An entry without text shows what became of its recording instead of "0 words".
    Entry result { entry, AppGlyph::name(entry), AppGlyph::icon(entry.appID, entry.source),
        entry.text.isEmpty() ? QString() : Format::wordCount(History::wordCount(entry.text)), {} };
    result.haystack = folded(entry.text + u' ' + result.sourceLabel);
    return result;
}

bool HistoryModel::matches(const Entry& entry) const
{
    return (m_showDiscarded || entry.entry.status != Status::discarded)
        && (m_foldedSearch.isEmpty() || entry.haystack.contains(m_foldedSearch));
}

int HistoryModel::listedRowFor(qsizetype historyRow) const
{
    int row = 0;
    for (qsizetype before = 0; before < historyRow; ++before)
        row += int(m_entries.constFind(m_order.at(before))->listed);
    return row;
}

void HistoryModel::list(Entry& entry, qsizetype historyRow)
{
    const int row = listedRowFor(historyRow);
    beginInsertRows({}, row, row);
    entry.listed = true;
    m_listed.insert(row, entry.entry.id);
    endInsertRows();
}

void HistoryModel::unlist(Entry& entry)
{
    const int row = rowOf(entry.entry.id);
    beginRemoveRows({}, row, row);
    entry.listed = false;
    m_listed.removeAt(row);
    endRemoveRows();
}

void HistoryModel::entryAdded(const QUuid& id, int row)
{
    // Additions are announced in the rows of the History as it now stands.
    const std::optional<HistoryEntry> added = m_history.find(id);
    if (!added)
        return;
    m_order.insert(row, id);
    Entry& entry = m_entries.insert(id, prepared(*added)).value();
    if (matches(entry))
        list(entry, row);
}

void HistoryModel::entryChanged(const QUuid& id, int row)
{
    const std::optional<HistoryEntry> changed = m_history.find(id);
    const auto stored = m_entries.find(id);
    if (!changed || stored == m_entries.end())
        return;
    const bool wasListed = stored->listed;
    *stored = prepared(*changed);
    stored->listed = wasListed;
    const bool listed = matches(*stored);
    if (wasListed && listed)
        rowChanged(id);
    else if (wasListed)
        unlist(*stored);
    else if (listed)
        list(*stored, row);
}

void HistoryModel::entryRemoved(const QUuid& id, int row)
{
    const auto stored = m_entries.find(id);
    if (stored == m_entries.end())
        return;
    if (stored->listed)
        unlist(*stored);
    m_entries.erase(stored);
    m_order.removeAt(row);
    if (id == m_editing)
        m_editing = QUuid();
}

void HistoryModel::rowChanged(const QUuid& id)
{
    const int row = rowOf(id);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row));
}

void HistoryModel::reload()
{
    beginResetModel();
    m_entries.clear();
    m_order.clear();
    m_listed.clear();
    for (const HistoryEntry& entry : m_history.entries()) {
        Entry& stored = m_entries.insert(entry.id, prepared(entry)).value();
        stored.listed = matches(stored);
        m_order.append(entry.id);
        if (stored.listed)
            m_listed.append(entry.id);
    }
    if (!m_entries.contains(m_editing))
        m_editing = QUuid();
    endResetModel();
}

void HistoryModel::refilter()
{
    // Rows go and come in runs rather than by a reset, so that the list keeps, and recycles, the cards it shows.
    QList<bool> wanted;
    wanted.reserve(m_order.size());
    for (const QUuid& id : std::as_const(m_order))
        wanted.append(matches(m_entries[id]));
    int row = 0;
    for (qsizetype at = 0; at < m_order.size();) {
        Entry& first = m_entries[m_order[at]];
        if (wanted[at] == first.listed) {
            row += first.listed ? 1 : 0;
            ++at;
            continue;
        }
        // The run goes on over entries that change the same way and over entries that stay out of the list.
        const bool inserting = wanted[at];
        QList<QUuid> run;
        qsizetype end = at;
        for (; end < m_order.size(); ++end) {
            const Entry& entry = m_entries[m_order[end]];
            if (wanted[end] == entry.listed && !entry.listed)
                continue;
            if (wanted[end] != inserting || entry.listed == inserting)
                break;
            run.append(m_order[end]);
        }
        const int last = row + int(run.size()) - 1;
        if (inserting) {
            beginInsertRows({}, row, last);
            for (qsizetype offset = 0; offset < run.size(); ++offset)
                m_listed.insert(row + offset, run[offset]);
        } else {
            beginRemoveRows({}, row, last);
            m_listed.remove(row, run.size());
        }
        for (const QUuid& id : std::as_const(run))
            m_entries[id].listed = inserting;
        inserting ? endInsertRows() : endRemoveRows();
        row += inserting ? int(run.size()) : 0;
        at = end;
    }
}

QString HistoryModel::audioTitle(const Entry& row) const
{
    const HistoryEntry& entry = row.entry;
    if (m_dictation.isRetrying(entry.id))
        return tr("Transcribing again…");
    if (entry.status == Status::failed)
        return entry.offline ? tr("No internet — not transcribed") : tr("Not transcribed");
    if (isNeverTranscribed(entry))
        return tr("Never transcribed");
    return {};
}

} // namespace kavo
