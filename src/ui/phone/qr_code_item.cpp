#include "qr_code_item.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSGImageNode>

#include <algorithm>
#include <cmath>

namespace kavo {

QRCodeItem::QRCodeItem(QQuickItem* parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents);
}

void QRCodeItem::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_code = text.isEmpty() ? std::nullopt : QRCode::cached(text);
    Q_EMIT textChanged();
    redraw();
}

void QRCodeItem::setModuleColor(const QColor& color)
{
    if (color == m_moduleColor)
        return;
    m_moduleColor = color;
    Q_EMIT colorsChanged();
    redraw();
}

void QRCodeItem::setPlateColor(const QColor& color)
{
    if (color == m_plateColor)
        return;
    m_plateColor = color;
    Q_EMIT colorsChanged();
    redraw();
}

QImage QRCodeItem::render(const QRCode& code, int side, const QColor& module, const QColor& plate)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(plate);
    const int codeSide = side * code.size / (code.size + 2 * quietModules);
    const int margin = (side - codeSide) / 2;
    const auto edge = [&](int index) { return margin + index * codeSide / code.size; };
    QPainter painter(&image);
    for (int row = 0; row < code.size; ++row) {
        for (int column = 0; column < code.size; ++column) {
            if (code.dark[row * code.size + column])
                painter.fillRect(QRect(QPoint(edge(column), edge(row)), QPoint(edge(column + 1), edge(row + 1)))
                                     .adjusted(0, 0, -1, -1),
                    module);
        }
    }
    return image;
}

QSGNode* QRCodeItem::updatePaintNode(QSGNode* node, UpdatePaintNodeData*)
{
    const qreal ratio = window()->effectiveDevicePixelRatio();
    const int side = int(std::floor(std::min(width(), height()) * ratio));
    if (!m_code || side <= 0) {
        delete node;
        return nullptr;
    }
    auto* imageNode = static_cast<QSGImageNode*>(node);
    if (!imageNode) {
        imageNode = window()->createImageNode();
        imageNode->setOwnsTexture(true);
        imageNode->setFiltering(QSGTexture::Nearest);
        m_imageStale = true;
    }
    if (m_imageStale) {
        imageNode->setTexture(window()->createTextureFromImage(render(*m_code, side, m_moduleColor, m_plateColor)));
        m_imageStale = false;
    }
    imageNode->setRect(0, 0, side / ratio, side / ratio);
    return imageNode;
}

void QRCodeItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        redraw();
}

void QRCodeItem::itemChange(ItemChange change, const ItemChangeData& data)
{
    QQuickItem::itemChange(change, data);
    if (change == ItemDevicePixelRatioHasChanged || change == ItemSceneChange)
        redraw();
}

void QRCodeItem::redraw()
{
    m_imageStale = true;
    update();
}

} // namespace kavo
