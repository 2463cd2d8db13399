#include "icon_provider.h"

#include <QColor>
#include <QFile>
#include <QLoggingCategory>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrlQuery>

#include <limits>

namespace kavo {

namespace {

Q_LOGGING_CATEGORY(iconLog, "kavo.ui.icons", QtWarningMsg)

// A missing width or height follows the other one in the icon's proportions.
QSize imageSize(const QSize& requested, const QSize& natural)
{
    constexpr int unbounded = std::numeric_limits<int>::max();
    if (requested.width() > 0 && requested.height() > 0)
        return requested;
    if (requested.width() > 0)
        return natural.scaled(requested.width(), unbounded, Qt::KeepAspectRatio);
    if (requested.height() > 0)
        return natural.scaled(unbounded, requested.height(), Qt::KeepAspectRatio);
    return natural;
}

// The drawing's coverage as the colour's opacity, and the colour unchanged at every pixel, whatever colours the
// file names: straight (not premultiplied) alpha keeps it exact under a translucent colour too.
QImage tinted(const QImage& coverage, const QColor& color)
{
    QImage image(coverage.size(), QImage::Format_ARGB32);
    const QRgb rgb = color.rgb();
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* alpha = coverage.constScanLine(y);
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < coverage.width(); ++x)
            pixel[x] = qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), (alpha[x] * color.alpha() + 127) / 255);
    }
    return image;
}

} // namespace

IconProvider::IconProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
{ }

QImage IconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const qsizetype queryStart = id.indexOf(u'?');
    const QString name = id.left(queryStart);
    const QUrlQuery query(queryStart < 0 ? QString() : id.mid(queryStart + 1));
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    QSvgRenderer renderer;
    if (!QFile::exists(path) || !renderer.load(path)) {
        qCWarning(iconLog) << "No icon named" << name;
        return {};
    }
    const QSize target = imageSize(requestedSize, renderer.defaultSize());
    QImage coverage(target, QImage::Format_Alpha8);
    coverage.fill(0);
    QPainter painter(&coverage);
    renderer.render(&painter);
    painter.end();
    const QColor color(query.queryItemValue(QStringLiteral("color"), QUrl::FullyDecoded));
    if (size)
        *size = target;
    return tinted(coverage, color.isValid() ? color : QColor(Qt::black));
}

} // namespace kavo
