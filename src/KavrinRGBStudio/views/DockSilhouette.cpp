#include "KavrinRGBStudio/views/DockSilhouette.hpp"

#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"
#include "KavrinRGBStudio/views/TintedShape.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

namespace kavrin {

namespace {

constexpr qreal padding = 16;
constexpr qreal spacing = 10;
constexpr qreal haloInset = 8;
constexpr qreal ventHeight = 16;

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

const QFont& logoFont()
{
    static const QFont font = studioFont(19, QFont::Black);
    return font;
}

const QFont& labelFont()
{
    static const QFont font = [] {
        QFont label = studioFont(7, QFont::DemiBold);
        label.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        return label;
    }();
    return font;
}

// A soft glow around a rounded rectangle, in place of a Gaussian blur: nested layers whose
// opacities add up towards the centre, reaching `spread` beyond the shape.
void paintGlow(QPainter& painter, const QString& key, const QRectF& shape, qreal radius, qreal spread, qreal alpha,
               const QColor& color)
{
    const QRectF bounds = shape.adjusted(-spread, -spread, spread, spread);
    paintTinted(
        painter, bounds, key,
        [&](QPainter& layers) {
            constexpr int count = 6;
            layers.setPen(Qt::NoPen);
            layers.setBrush(withAlpha(Qt::white, alpha / count));
            for (int layer = 0; layer < count; ++layer) {
                const qreal grow = spread * (count - layer) / count;
                layers.drawRoundedRect(shape.adjusted(-grow, -grow, grow, grow), radius + grow, radius + grow);
            }
        },
        color);
}

} // namespace

struct DockSilhouette::Layout {
    QRectF frame;
    QRectF body;
    QPointF content;
    QPointF logoBaseline;
    QPointF labelBaseline;
    QRectF strip;
};

DockSilhouette::DockSilhouette(ControllerProfile profile, std::span<const LightColor> strip, LightColor glow)
    : profile_(profile)
    , strip_(strip)
    , glow_(glow)
{
}

DockSilhouette::Layout DockSilhouette::layoutOf(const QRectF& frame) const
{
    Layout layout;
    layout.frame = frame;
    layout.body = frame.adjusted(haloInset, haloInset, -haloInset, -haloInset);
    const QRectF content = layout.body.adjusted(padding, 12, -padding, -12);
    layout.content = content.topLeft();
    const QFontMetricsF logo(logoFont());
    const QFontMetricsF label(labelFont());
    const qreal logoTop = content.top() + ventHeight + spacing;
    layout.logoBaseline = QPointF(content.left(), logoTop + logo.ascent());
    const qreal labelTop = logoTop + logo.height() + 3;
    layout.labelBaseline = QPointF(content.left(), labelTop + label.ascent());
    const qreal stripHeight = profile_ == ControllerProfile::mindCube ? 4 : 6;
    layout.strip = QRectF(content.left(), labelTop + label.height() + spacing, content.width(), stripHeight);
    return layout;
}

void DockSilhouette::paint(QPainter& painter, const QRectF& frame) const
{
    const Layout layout = layoutOf(frame);
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF halo = frame.adjusted(haloInset + 4, haloInset + 4, -haloInset - 4, -haloInset - 4);
    paintGlow(painter, QStringLiteral("halo"), halo, 18, haloInset + 4, 0.45, toQColor(glow_));

    const QString key = QStringLiteral("kavrin-dock %1 %2 %3 %4")
                            .arg(int(profile_))
                            .arg(frame.width())
                            .arg(frame.height())
                            .arg(ratio);
    QPixmap staticParts;
    if (!QPixmapCache::find(key, &staticParts)) {
        staticParts = QPixmap((frame.size() * ratio).toSize());
        staticParts.setDevicePixelRatio(ratio);
        staticParts.fill(Qt::transparent);
        QPainter partsPainter(&staticParts);
        partsPainter.setRenderHint(QPainter::Antialiasing);
        partsPainter.translate(-frame.topLeft());
        paintStaticParts(partsPainter, layout);
        partsPainter.end();
        QPixmapCache::insert(key, staticParts);
    }
    painter.drawPixmap(frame.topLeft(), staticParts);
    paintLogo(painter, layout);
    paintStrip(painter, layout);
    painter.restore();
}

void DockSilhouette::paintStaticParts(QPainter& painter, const Layout& layout) const
{
    QLinearGradient fill(layout.body.topLeft(), layout.body.bottomRight());
    fill.setColorAt(0, QColor::fromRgbF(0.16f, 0.16f, 0.16f));
    fill.setColorAt(1, QColor::fromRgbF(0.06f, 0.06f, 0.06f));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(255, 255, 255, 38), 1));
    painter.drawRoundedRect(layout.body, 12, 12);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 128));
    for (int vent = 0; vent < 10; ++vent) {
        painter.drawRoundedRect(QRectF(layout.content.x() + vent * 7, layout.content.y(), 3, ventHeight), 1.5, 1.5);
    }

    painter.setFont(labelFont());
    painter.setPen(QColor(142, 142, 147));
    painter.drawText(layout.labelBaseline,
                     profile_ == ControllerProfile::mindCube ? QStringLiteral("MIND CUBE")
                                                             : QStringLiteral("FORGE CUBE"));
}

void DockSilhouette::paintLogo(QPainter& painter, const Layout& layout) const
{
    painter.setFont(logoFont());
    const QColor glow = toQColor(glow_);
    // The logo's glow: the word drawn faintly around itself.
    painter.setPen(withAlpha(glow, 0.2));
    for (const QPointF offset : {QPointF(-1.5, 0), QPointF(1.5, 0), QPointF(0, -1.5), QPointF(0, 1.5)}) {
        painter.drawText(layout.logoBaseline + offset, QStringLiteral("KAVRIN"));
    }
    painter.setPen(glow);
    painter.drawText(layout.logoBaseline, QStringLiteral("KAVRIN"));
}

void DockSilhouette::paintStrip(QPainter& painter, const Layout& layout) const
{
    const QRectF& area = layout.strip;
    const qreal radius = area.height() / 2;
    paintGlow(painter, QStringLiteral("strip glow"), area, radius, 7, 0.7, toQColor(glow_));
    paintBands(
        painter, area, QStringLiteral("strip"),
        [&](QPainter& capsule) {
            capsule.setPen(Qt::NoPen);
            capsule.setBrush(Qt::white);
            capsule.drawRoundedRect(area, radius, radius);
        },
        strip_);
}

} // namespace kavrin
