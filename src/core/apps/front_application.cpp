#include "front_application.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kavo {

namespace {

QString desktopID(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

// The keys of the [Desktop Entry] group that recognise a window; localised names are not used, so that History
// shows one name whatever the interface language.
std::optional<DesktopEntry> readEntry(const QString& path, const QString& id)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    DesktopEntry entry { id, {}, {}, {} };
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("StartupWMClass"))
            entry.startupWMClass = value;
        else if (key == QLatin1String("Exec"))
            entry.executable = QFileInfo(value.section(u' ', 0, 0, QString::SectionSkipEmpty).remove(u'"')).fileName();
    }
    if (entry.name.isEmpty())
        return std::nullopt;
    return entry;
}

FrontApp fromEntry(const DesktopEntry& entry)
{
    return { entry.name, entry.id };
}

QString processFile(qint64 pid, const char* name)
{
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name));
}

// The desktop file a process was started from, as desktop launchers record it in the environment.
QString launchedFrom(qint64 pid)
{
    QFile environ(processFile(pid, "environ"));
    if (!environ.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& variable : environ.readAll().split('\0')) {
        if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE="))
            return QString::fromLocal8Bit(variable.mid(variable.indexOf('=') + 1));
    }
    return {};
}

} // namespace

QList<DesktopEntry> FrontApplication::readEntries(const QString& applicationsFolder)
{
    QList<DesktopEntry> entries;
    const QDir root(applicationsFolder);
    QDirIterator files(applicationsFolder, { QStringLiteral("*.desktop") }, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString id = root.relativeFilePath(path).chopped(int(sizeof ".desktop") - 1).replace(u'/', u'-');
        if (const std::optional<DesktopEntry> entry = readEntry(path, id))
            entries.append(*entry);
    }
    return entries;
}

const QList<DesktopEntry>& FrontApplication::installedEntries()
{
    static const QList<DesktopEntry> entries = [] {
        QList<DesktopEntry> all;
        QSet<QString> seen;
        // Earlier folders take precedence, as for the desktop itself.
        for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
            for (const DesktopEntry& entry : readEntries(folder)) {
                if (!seen.contains(entry.id)) {
                    seen.insert(entry.id);
                    all.append(entry);
                }
            }
        }
        return all;
    }();
    return entries;
}

FrontApp FrontApplication::identify(const QString& wmInstance, const QString& wmClass, const QString& executable,
    const QString& launchedFrom, const QList<DesktopEntry>& entries)
{
    const auto find = [&entries](auto matches) -> const DesktopEntry* {
        const auto found = std::find_if(entries.begin(), entries.end(), matches);
        return found == entries.end() ? nullptr : &*found;
    };
    if (!launchedFrom.isEmpty()) {
        const QString id = desktopID(launchedFrom);
        if (const DesktopEntry* entry = find([&](const DesktopEntry& e) { return e.id == id; }))
            return fromEntry(*entry);
    }
    const auto sameText
        = [](const QString& a, const QString& b) { return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0; };
    if (const DesktopEntry* entry = find([&](const DesktopEntry& e) {
            return sameText(e.startupWMClass, wmClass) || sameText(e.startupWMClass, wmInstance);
        }))
        return fromEntry(*entry);
    // Reverse-domain IDs end in the class: org.gnome.Nautilus for "Org.gnome.Nautilus" or "nautilus".
    if (const DesktopEntry* entry = find([&](const DesktopEntry& e) {
            return sameText(e.id, wmClass) || sameText(e.id, wmInstance)
                || (!wmInstance.isEmpty() && e.id.endsWith(u'.' + wmInstance, Qt::CaseInsensitive));
        }))
        return fromEntry(*entry);
    if (const DesktopEntry* entry = find([&](const DesktopEntry& e) { return sameText(e.executable, executable); }))
        return fromEntry(*entry);
    if (wmClass.isEmpty())
        return {};
    return { wmClass, wmClass.toLower() };
}

FrontApp FrontApplication::ofWindow(const QString& wmInstance, const QString& wmClass, std::optional<qint64> pid)
{
    QString executable, desktopFile;
    if (pid) {
        executable = QFileInfo(QFile::symLinkTarget(processFile(*pid, "exe"))).fileName();
        desktopFile = launchedFrom(*pid);
    }
    return identify(wmInstance, wmClass, executable, desktopFile, installedEntries());
}

} // namespace kavo
