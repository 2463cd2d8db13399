#pragma once

#include "phone/qr_code.h"

#include <QColor>
#include <QImage>
#include <QQuickItem>

namespace kavo {

/// The QR code of `text`, drawn crisp at the screen's pixel ratio: dark modules on a light plate with a quiet zone
/// of `quietModules` modules on each side, so that a phone camera reads it in either appearance. Nothing is drawn
/// while the text has no code.
class QRCodeItem : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool available READ isAvailable NOTIFY textChanged)
    Q_PROPERTY(QColor moduleColor READ moduleColor WRITE setModuleColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor plateColor READ plateColor WRITE setPlateColor NOTIFY colorsChanged)

public:
    /// The light margin scanners need around the modules.
    static constexpr int quietModules = 4;

    explicit QRCodeItem(QQuickItem* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    /// The text has a code to draw.
    bool isAvailable() const { return m_code.has_value(); }
    QColor moduleColor() const { return m_moduleColor; }
    void setModuleColor(const QColor& color);
    QColor plateColor() const { return m_plateColor; }
    void setPlateColor(const QColor& color);

    /// The code on its plate in a square of `side` device pixels. Module edges fall on whole pixels, at
    /// floor(index × code side ÷ size) from the code's corner, so every module is sharp and none drifts.
    static QImage render(const QRCode& code, int side, const QColor& module, const QColor& plate);

Q_SIGNALS:
    void textChanged();
    void colorsChanged();

protected:
    QSGNode* updatePaintNode(QSGNode* node, UpdatePaintNodeData*) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData& data) override;

private:
    void redraw();

    QString m_text;
    std::optional<QRCode> m_code;
    QColor m_moduleColor = Qt::black;
    QColor m_plateColor = Qt::white;
    bool m_imageStale = true;
};

} // namespace kavo
