#include "save_later.h"

#include "notes_store.h"

#include <utility>

namespace kavo {

SaveLater::SaveLater(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(quietSpell);
    connect(&m_timer, &QTimer::timeout, this, &SaveLater::runPending);
}

void SaveLater::schedule(std::function<void()> work)
{
    m_work = std::move(work);
    m_timer.start();
}

void SaveLater::flush()
{
    m_timer.stop();
    runPending();
}

void SaveLater::runPending()
{
    // Taken out first: the work may schedule again, or destroy this scheduler along with its owner.
    const std::function<void()> work = std::exchange(m_work, nullptr);
    if (work)
        work();
}

bool editNoteLater(
    SaveLater& saveLater, const NotesAccess& notes, const QUuid& note, const std::function<void(Note&)>& edit)
{
    bool found = false;
    notes([&](NotesStore& store) {
        if (Note* target = store.find(note)) {
            edit(*target);
            found = true;
        }
    });
    if (!found)
        return false;
    saveLater.schedule([notes, note] {
        notes([&](NotesStore& store) {
            if (const Note* edited = store.find(note))
                store.update(*edited);
        });
    });
    return true;
}

} // namespace kavo
