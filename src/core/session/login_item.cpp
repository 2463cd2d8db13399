#include "login_item.h"

#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace kavo {

namespace {

// Exec keys quote arguments with double quotes, escaping quotes, backslashes, backquotes and dollar signs.
QString quotedForExec(const QString& program)
{
    QString escaped = program;
    for (const QChar special : { u'\\', u'"', u'`', u'$' })
        escaped.replace(special, QStringLiteral("\\") + special);
    return u'"' + escaped + u'"';
}

QString write(const QString& path, const QString& program)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot make the folder %1").arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Kavo Voice\nComment=Dictate into any "
                              "application\nExec=%1\nTerminal=false\nX-GNOME-Autostart-enabled=true\n")
                   .arg(quotedForExec(program))
                   .toUtf8());
    return file.commit() ? QString() : file.errorString();
}

} // namespace

QString LoginItem::filePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/kavo-voice.desktop"));
}

bool LoginItem::set(bool on, const QString& program)
{
    const QString path = filePath();
    if (on) {
        if (const QString error = write(path, program); !error.isEmpty())
            Log::write(QStringLiteral("login item register failed: ") + error);
    } else if (QFile file(path); file.exists() && !file.remove()) {
        Log::write(QStringLiteral("login item unregister failed: ") + file.errorString());
    }
    return isEnabled();
}

bool LoginItem::isEnabled()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed == "Hidden=true" || trimmed == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

} // namespace kavo
