#pragma once

#include <QObject>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <functional>

namespace kavo {

struct Note;
class NotesManager;

/// Runs the latest scheduled work after a quiet spell, so typing is stored once per pause rather than on
/// every key. Work still pending when the scheduler is destroyed is dropped.
class SaveLater : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds quietSpell { 600 };

    explicit SaveLater(QObject* parent = nullptr);

    /// Replaces any pending work (which is dropped, not run) and restarts the wait.
    void schedule(std::function<void()> work);
    /// Stops the wait and runs the pending work now, if there is any.
    void flush();
    bool isPending() const { return static_cast<bool>(m_work); }

private:
    void runPending();

    // Held by value and connected with this scheduler as context: no timeout can reach a destroyed one.
    QTimer m_timer;
    std::function<void()> m_work;
};

/// A typed edit from the Notes screen: applied at once to the note in memory, leaving `updated` alone, and
/// stored later through NotesStore::update() of the note with that UUID as the store stands then (an import or
/// a wipe may have replaced it; the note may have been deleted; the manager may be gone). Returns false when
/// the note is not in the store.
bool editNoteLater(
    SaveLater& saveLater, NotesManager& notes, const QUuid& note, const std::function<void(Note&)>& edit);

} // namespace kavo
