#include "save_later.h"

#include "notes_manager.h"

#include <QPointer>

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

bool editNoteLater(SaveLater& saveLater, NotesManager& notes, const QUuid& note, const std::function<void(Note&)>& edit)
{
    const bool found = notes.change([&](NotesStore& store) {
        Note* target = store.find(note);
        if (target)
            edit(*target);
        return target != nullptr;
    });
    if (!found)
        return false;
    saveLater.schedule([notes = QPointer(&notes), note] {
        if (notes)
            notes->change([&](NotesStore& store) {
                if (const Note* edited = store.find(note))
                    store.update(*edited);
            });
    });
    return true;
}

} // namespace kavo
