#include "data_view.h"

#include "state/toasts.h"
#include "store/config.h"
#include "store/data_actions.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>

namespace kavo {

DataView::DataView(DataActions& actions, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_actions(actions)
    , m_toasts(toasts)
{ }

QString DataView::archiveName()
{
    return DataActions::archiveName(QDate::currentDate());
}

bool DataView::exportAll(const QUrl& destination)
{
    if (!destination.isLocalFile())
        return false;
    const std::optional<QString> name = m_actions.exportAll(destination.toLocalFile());
    if (name)
        m_toasts.show(tr("Exported"), *name, Toasts::Tone::success);
    return name.has_value();
}

void DataView::openFolder()
{
    QDir().mkpath(Config::directory());
    QDesktopServices::openUrl(QUrl::fromLocalFile(Config::directory()));
}

void DataView::wipe()
{
    m_actions.wipe();
    m_toasts.show(tr("Data deleted"), tr("History, notes and vocabulary were cleared"), Toasts::Tone::info);
}

} // namespace kavo
