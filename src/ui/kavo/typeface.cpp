#include "typeface.h"

#include <QFontDatabase>
#include <QLoggingCategory>

#include <algorithm>

namespace kavo {

namespace {

Q_LOGGING_CATEGORY(fontLog, "kavo.ui.fonts", QtWarningMsg)

} // namespace

const Typeface::Face& Typeface::face(int weight)
{
    const auto found = std::ranges::find(faces, weight, &Face::weight);
    return found != faces.end() ? *found : faces.front();
}

QFont Typeface::font(int weight, int pixelSize)
{
    QFont font { QString(family) };
    font.setWeight(face(weight).weight);
    font.setPixelSize(pixelSize);
    return font;
}

QStringList Typeface::registerFaces()
{
    QStringList failed;
    for (const Face& face : faces) {
        if (QFontDatabase::addApplicationFont(QString(face.resource)) < 0) {
            qCWarning(fontLog) << "Cannot register the font" << face.resource;
            failed.append(QString(face.resource));
        }
    }
    return failed;
}

} // namespace kavo
