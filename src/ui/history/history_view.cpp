#include "history_view.h"

#include "format/format.h"
#include "state/toasts.h"
#include "store/history_manager.h"
#include "store/settings.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cmath>

namespace kavo {

HistoryView::HistoryView(
    HistoryManager& history, const DictationState& dictation, const Settings& settings, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_settings(settings)
    , m_toasts(toasts)
    , m_model(history, dictation, m_clock)
{
    // Which empty state shows depends on whether the History holds anything, listed or not.
    const auto historyChanged = [this] {
        updateStats();
        Q_EMIT emptyStateChanged();
    };
    connect(&history, &HistoryManager::entryAdded, this, historyChanged);
    connect(&history, &HistoryManager::entryChanged, this, &HistoryView::updateStats);
    connect(&history, &HistoryManager::entryRemoved, this, historyChanged);
    connect(&history, &HistoryManager::cleared, this, historyChanged);
    connect(&m_clock, &DayClock::dayChanged, this, &HistoryView::updateStats);
    for (const auto rowsChanged : { &HistoryModel::rowsInserted, &HistoryModel::rowsRemoved })
        connect(&m_model, rowsChanged, this, &HistoryView::emptyStateChanged);
    connect(&m_model, &HistoryModel::modelReset, this, &HistoryView::emptyStateChanged);
    connect(&settings, &Settings::hotkeyModeChanged, this, &HistoryView::emptyStateChanged);
    updateStats();
}

void HistoryView::setSearch(const QString& search)
{
    if (search == m_model.search())
        return;
    m_model.setSearch(search);
    Q_EMIT searchChanged();
}

void HistoryView::setShowDiscarded(bool show)
{
    if (show == m_model.showsDiscarded())
        return;
    m_model.setShowDiscarded(show);
    Q_EMIT showDiscardedChanged();
}

QString HistoryView::statsLine(const History::Stats& stats)
{
    const double week = stats.week;
    const auto minutesSaved = qint64(std::lround(week / 40 - week / 150));
    return tr("Today ") + Format::number(stats.today) + tr(" words") + tr(" · this week ") + Format::number(stats.week)
        + tr(" words") + tr(" — about ") + Format::number(minutesSaved) + tr(" minutes saved");
}

void HistoryView::updateStats()
{
    const QString line = statsLine(m_history.history().stats(m_clock.now(), m_clock.calendar()));
    if (line == m_statsLine)
        return;
    m_statsLine = line;
    Q_EMIT statsLineChanged();
}

// With entries kept but none listed and no search, every entry is a hidden discarded one: nothing was kept for the
// user to read yet, so the first-use hint fits better than a search that found nothing.
QString HistoryView::emptyTitle() const
{
    if (!isEmpty())
        return {};
    return m_history.entries().isEmpty() || search().isEmpty() ? tr("No recordings yet.") : tr("Nothing found.");
}

QString HistoryView::emptyDetail() const
{
    if (!isEmpty())
        return {};
    if (!m_history.entries().isEmpty() && !search().isEmpty())
        return tr("Try another word or clear the search.");
    return m_settings.hotkeyMode() == HotkeyMode::toggle ? tr("Press the key and talk — the text is kept here.")
                                                         : tr("Hold the key and talk — the text is kept here.");
}

bool HistoryView::canClear() const
{
    return !m_history.entries().isEmpty();
}

QString HistoryView::clearButton() const
{
    return m_confirmingClear ? tr("Confirm") : tr("Clear");
}

void HistoryView::pressClear()
{
    if (m_confirmingClear)
        clear();
    else
        setConfirmingClear(true);
}

void HistoryView::cancelClear()
{
    setConfirmingClear(false);
}

void HistoryView::clear()
{
    setConfirmingClear(false);
    m_history.change([](History& history) { history.clear(); });
    m_toasts.show(tr("History cleared"), tr("You cannot undo this"), Toasts::Tone::info);
}

void HistoryView::copy(const QUuid& id)
{
    const std::optional<HistoryEntry> entry = m_history.find(id);
    if (!entry)
        return;
    QGuiApplication::clipboard()->setText(entry->text);
    m_toasts.show(tr("Copied"), Format::wordCount(History::wordCount(entry->text)), Toasts::Tone::success);
}

void HistoryView::edit(const QUuid& id)
{
    m_model.setEditing(id);
}

void HistoryView::cancelEdit()
{
    m_model.setEditing({});
}

void HistoryView::saveEdit(const QUuid& id, const QString& text)
{
    m_model.setEditing({});
    std::optional<HistoryEntry> entry = m_history.find(id);
    if (!entry || entry->text == text)
        return;
    entry->text = text;
    m_history.change([&entry](History& history) { history.update(*entry); });
}

void HistoryView::remove(const QUuid& id)
{
    if (!m_history.find(id))
        return;
    m_history.change([&id](History& history) { history.remove(id); });
    m_toasts.show(tr("Deleted"), {}, Toasts::Tone::success);
}

void HistoryView::retry(const QUuid& id)
{
    Q_EMIT retryRequested(id);
}

void HistoryView::setConfirmingClear(bool confirming)
{
    if (confirming == m_confirmingClear)
        return;
    m_confirmingClear = confirming;
    Q_EMIT confirmingClearChanged();
}

} // namespace kavo
