#include "bench_support.h"

#include <QDir>
#include <QTemporaryDir>

namespace kavo::bench {

QString useTemporaryDataFolder()
{
    static QTemporaryDir root;
    static const QString data = [] {
        const QString path = root.filePath(QStringLiteral("data"));
        QDir().mkpath(path);
        qputenv("KAVO_DATA_DIR", path.toUtf8());
        return path;
    }();
    return data;
}

} // namespace kavo::bench
