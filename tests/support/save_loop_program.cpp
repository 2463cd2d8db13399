// Saves the settings, History and notes in the data folder over and over until it is killed. Every round writes its
// number into all three (the model instructions, the one History entry, the one note), so that whoever kills it can
// tell which round each file holds.
#include "store/data_stores.h"

#include <QCoreApplication>
#include <QUuid>

using namespace kavo;

int main(int argc, char** argv)
{
    const QCoreApplication application(argc, argv);
    DataStores stores;
    stores.load();
    const QUuid note = stores.notes.change([](NotesStore& store) {
        Note draft = store.draft(store.folders.constFirst().id);
        store.update(draft);
        return draft.id;
    });
    QUuid previous;
    // A new run carries on from the round the settings hold.
    for (qint64 round = stores.settings.prompt().section(u' ', 1).toLongLong() + 1;; ++round) {
        const QString text = QStringLiteral("round %1").arg(round);
        stores.settings.setPrompt(text);
        stores.settings.save();
        HistoryEntry entry;
        entry.id = QUuid::createUuid();
        entry.date = QDateTime::currentDateTimeUtc();
        entry.text = text;
        entry.model = QStringLiteral("gemini-2.5-flash");
        stores.history.change([&](History& history) {
            if (!previous.isNull())
                history.remove(previous);
            history.add(entry);
        });
        previous = entry.id;
        stores.notes.change([&](NotesStore& store) {
            Note changed = *store.find(note);
            changed.body = text;
            store.update(changed);
        });
    }
}
