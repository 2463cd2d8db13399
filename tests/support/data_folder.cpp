#include "data_folder.h"

#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace kavo::test {

QString useTemporaryDataFolder()
{
    static QTemporaryDir root;
    static const QString data = [] {
        const QString path = root.filePath("data");
        QDir().mkpath(path);
        qputenv("KAVO_DATA_DIR", path.toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath("share").toUtf8());
        return path;
    }();
    return data;
}

void emptyDataFolder()
{
    QDir(useTemporaryDataFolder()).removeRecursively();
    QDir().mkpath(useTemporaryDataFolder());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString logText()
{
    Log::flush();
    return QString::fromUtf8(readFile(Log::filePath())).remove(QRegularExpression("(?m)^\\S+ "));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace kavo::test
