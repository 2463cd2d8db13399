#pragma once

#include "day_clock.h"
#include "history_model.h"

#include <QObject>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class DictationState;
class HistoryManager;
class Settings;
class Toasts;

/// The History screen: its list, the statistics line, the empty states and the actions on entries. The application
/// binds the sidebar's search text to `search` and carries out `retryRequested`.
class HistoryView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the History screen's view")
    Q_PROPERTY(kavo::HistoryModel* entries READ entries CONSTANT)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(bool showDiscarded READ showsDiscarded WRITE setShowDiscarded NOTIFY showDiscardedChanged)
    Q_PROPERTY(QString statsLine READ statsLine NOTIFY statsLineChanged)
    Q_PROPERTY(bool empty READ isEmpty NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyDetail READ emptyDetail NOTIFY emptyStateChanged)
    Q_PROPERTY(bool canClear READ canClear NOTIFY emptyStateChanged)
    Q_PROPERTY(bool confirmingClear READ isConfirmingClear NOTIFY confirmingClearChanged)
    Q_PROPERTY(QString clearButton READ clearButton NOTIFY confirmingClearChanged)

public:
    HistoryView(HistoryManager& history, const DictationState& dictation, const Settings& settings, Toasts& toasts,
        QObject* parent = nullptr);

    HistoryModel* entries() { return &m_model; }
    /// Where "today" and "this week" are taken from; tests set its time.
    DayClock& clock() { return m_clock; }

    QString search() const { return m_model.search(); }
    void setSearch(const QString& search);
    bool showsDiscarded() const { return m_model.showsDiscarded(); }
    void setShowDiscarded(bool show);

    /// "Today N words · this week N words — about M minutes saved": typing at 40 words a minute against speaking at
    /// 150, for this week's words.
    QString statsLine() const { return m_statsLine; }
    static QString statsLine(const History::Stats& stats);

    bool isEmpty() const { return m_model.rowCount() == 0; }
    QString emptyTitle() const;
    QString emptyDetail() const;

    /// Whether the History holds anything to clear, listed or not.
    bool canClear() const;
    bool isConfirmingClear() const { return m_confirmingClear; }
    QString clearButton() const;
    /// "Clear" asks for a confirmation first; pressed again it clears.
    Q_INVOKABLE void pressClear();
    Q_INVOKABLE void cancelClear();
    /// Removes every entry and kept recording.
    Q_INVOKABLE void clear();

    Q_INVOKABLE void copy(const QUuid& id);
    /// Opens the inline editor on the entry, closing any other.
    Q_INVOKABLE void edit(const QUuid& id);
    Q_INVOKABLE void cancelEdit();
    Q_INVOKABLE void saveEdit(const QUuid& id, const QString& text);
    /// Deletes the entry and its kept recording.
    Q_INVOKABLE void remove(const QUuid& id);
    Q_INVOKABLE void retry(const QUuid& id);

Q_SIGNALS:
    void searchChanged();
    void showDiscardedChanged();
    void statsLineChanged();
    void emptyStateChanged();
    void confirmingClearChanged();
    /// Transcribe the entry's kept recording again.
    void retryRequested(const QUuid& entry);

private:
    void updateStats();
    void setConfirmingClear(bool confirming);

    HistoryManager& m_history;
    const Settings& m_settings;
    Toasts& m_toasts;
    DayClock m_clock;
    HistoryModel m_model;
    QString m_statsLine;
    bool m_confirmingClear = false;
};

} // namespace kavo
