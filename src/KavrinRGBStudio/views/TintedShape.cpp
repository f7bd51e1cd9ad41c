#include "KavrinRGBStudio/views/TintedShape.hpp"

#include "KavrinRGBStudio/views/ColorWell.hpp"

#include <QHash>
#include <QImage>
#include <QPainter>

namespace kavrin {

namespace {

// The preview's few shapes at the sizes they are shown; the cache does not grow while it runs.
QImage& coverage(QPainter& painter, const QRectF& bounds, const QString& key, const ShapeDrawing& draw)
{
    static QHash<QString, QImage> images;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QString fullKey = QStringLiteral("%1 %2x%3 @%4").arg(key).arg(bounds.width()).arg(bounds.height()).arg(ratio);
    auto image = images.find(fullKey);
    if (image == images.end()) {
        QImage shape((bounds.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        shape.setDevicePixelRatio(ratio);
        shape.fill(Qt::transparent);
        QPainter shapePainter(&shape);
        shapePainter.setRenderHint(QPainter::Antialiasing);
        shapePainter.translate(-bounds.topLeft());
        draw(shapePainter);
        shapePainter.end();
        image = images.insert(fullKey, shape);
    }
    return *image;
}

// Keeps each pixel's coverage and replaces its colour.
void beginRecolouring(QPainter& tint)
{
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
}

} // namespace

void paintTinted(QPainter& painter, const QRectF& bounds, const QString& key, const ShapeDrawing& draw,
                 const QColor& color)
{
    QImage& image = coverage(painter, bounds, key, draw);
    QPainter tint(&image);
    beginRecolouring(tint);
    tint.fillRect(QRectF(QPointF(), bounds.size()), color);
    tint.end();
    painter.drawImage(bounds.topLeft(), image);
}

void paintBands(QPainter& painter, const QRectF& bounds, const QString& key, const ShapeDrawing& draw,
                std::span<const LightColor> colors)
{
    QImage& image = coverage(painter, bounds, key, draw);
    QPainter tint(&image);
    beginRecolouring(tint);
    const qreal width = bounds.width() / qreal(colors.size());
    for (std::size_t index = 0; index < colors.size(); ++index) {
        // One unit wider, so rounding never leaves a seam of stale colour; the next band paints over it.
        tint.fillRect(QRectF(width * qreal(index), 0, width + 1, bounds.height()), toQColor(colors[index]));
    }
    tint.end();
    painter.drawImage(bounds.topLeft(), image);
}

} // namespace kavrin
