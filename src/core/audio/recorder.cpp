#include "recorder.h"

#include <QDir>
#include <QUuid>

namespace kavo {

QString Recorder::newFilePath()
{
    return QDir::temp().filePath(
        QStringLiteral("kavo-%1.wav").arg(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()));
}

} // namespace kavo
