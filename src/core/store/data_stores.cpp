#include "data_stores.h"

#include "store/log.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace kavo {

namespace {

// A save writes a companion file ("notes.json.Ab3xYz") and renames it over the data file; a save cut short by a
// crash leaves the companion behind, while the data file stays whole.
void removeUnfinishedSaves()
{
    static const QRegularExpression companion(QStringLiteral("^(config|history|notes)\\.json\\.[A-Za-z0-9]{6}$"));
    QDir folder(Config::directory());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (!companion.match(name).hasMatch())
            continue;
        if (folder.remove(name))
            Log::write(QStringLiteral("removed the unfinished save ") + name);
    }
}

} // namespace

void DataStores::load()
{
    removeUnfinishedSaves();
    settings.load();
    history.load();
    notes.load();
}

} // namespace kavo
