#include "updater.h"

#include "platform/dbus/notifier.h"
#include "store/log.h"

namespace kavo {

void Updater::checkForUpdates()
{
    Log::write(QStringLiteral("update check: updates come through the package manager"));
    m_notifier.post(QStringLiteral("Kavo Voice"), message());
}

QString Updater::message()
{
    return tr("Updates come through the package manager. Update Kavo Voice with your system's other software.");
}

} // namespace kavo
