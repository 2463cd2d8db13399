#include "audio/codec/ffmpeg_support.h"
#include "cli/command_line.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kavo-voice"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KAVO_VERSION));
    kavo::quietFfmpegLogging();
    return kavo::cli::run(QCoreApplication::arguments().mid(1));
}
