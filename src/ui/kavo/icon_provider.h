#pragma once

#include <QQuickImageProvider>

namespace kavo {

/// Draws the compiled-in Lucide line icons in one colour for QML: "image://icon/NAME?color=COLOR", where COLOR is
/// anything QColor reads ("#2563eb", "#382563eb" with alpha first, a name); without it the icon draws black.
/// Images come at the requested size, which Qt Quick scales by the screen's pixel ratio for an Image with a
/// sourceSize; without one, at the icon's own 24 × 24.
class IconProvider : public QQuickImageProvider
{
public:
    /// The host part of the image URLs, under which the application adds the provider to its QML engine.
    static constexpr QLatin1StringView providerId { "icon" };

    IconProvider();

    /// An unknown icon gives a null image and a warning.
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};

} // namespace kavo
