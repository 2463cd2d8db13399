#include "fuzz_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> privateFolder;

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{ }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    privateFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kavo-fuzz-XXXXXX"));
    if (!privateFolder->isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n", qPrintable(privateFolder->errorString()));
        std::abort();
    }
    QDir(privateFolder->path()).mkpath(QStringLiteral("tmp"));
    qputenv("KAVO_DATA_DIR", privateFolder->path().toUtf8());
    qputenv("TMPDIR", privateFolder->filePath(QStringLiteral("tmp")).toUtf8());
    std::atexit([] { privateFolder.reset(); });
    qInstallMessageHandler(dropMessage);
    return 0;
}

namespace kavo::fuzz {

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
