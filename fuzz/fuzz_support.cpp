#include "fuzz_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kavo::fuzz {

namespace {

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{ }

} // namespace

void prepare()
{
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder)
        return;
    folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kavo-fuzz-XXXXXX"));
    if (!folder->isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n", qPrintable(folder->errorString()));
        std::abort();
    }
    QDir(folder->path()).mkpath(QStringLiteral("tmp"));
    qputenv("KAVO_DATA_DIR", folder->path().toUtf8());
    qputenv("TMPDIR", folder->filePath(QStringLiteral("tmp")).toUtf8());
    std::atexit([] { folder.reset(); });
    qInstallMessageHandler(dropMessage);
}

QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void fail(const char* property, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, property);
    std::abort();
}

} // namespace kavo::fuzz
