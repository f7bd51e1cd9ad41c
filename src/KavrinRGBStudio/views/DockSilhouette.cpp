#include "KavrinRGBStudio/views/DockSilhouette.hpp"

#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kavrin {

namespace {

constexpr qreal padding = 16;
constexpr qreal spacing = 10;
constexpr qreal haloInset = 8;

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

// A soft glow around a rounded rectangle, in place of a Gaussian blur: nested layers whose
// opacities add up towards the centre.
void paintGlow(QPainter& painter, const QRectF& shape, qreal radius, qreal spread, const QColor& color, qreal alpha)
{
    constexpr int layers = 6;
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(color, alpha / layers));
    for (int layer = 0; layer < layers; ++layer) {
        const qreal grow = spread * (layers - layer) / layers;
        painter.drawRoundedRect(shape.adjusted(-grow, -grow, grow, grow), radius + grow, radius + grow);
    }
}

} // namespace

DockSilhouette::DockSilhouette(ControllerProfile profile, std::span<const LightColor> strip, LightColor glow)
    : profile_(profile)
    , strip_(strip)
    , glow_(glow)
{
}

void DockSilhouette::paint(QPainter& painter, const QRectF& frame) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintHalo(painter, frame);
    const QRectF body = frame.adjusted(haloInset, haloInset, -haloInset, -haloInset);
    paintBody(painter, body);

    const QRectF content = body.adjusted(padding, 12, -padding, -12);
    paintVents(painter, content.topLeft());
    const qreal logoBottom = paintLogo(painter, content.topLeft() + QPointF(0, 16 + spacing));
    const qreal stripHeight = profile_ == ControllerProfile::mindCube ? 4 : 6;
    paintStrip(painter, QRectF(content.left(), logoBottom + spacing, content.width(), stripHeight));
    painter.restore();
}

void DockSilhouette::paintHalo(QPainter& painter, const QRectF& frame) const
{
    const QRectF core = frame.adjusted(haloInset + 4, haloInset + 4, -haloInset - 4, -haloInset - 4);
    paintGlow(painter, core, 18, haloInset + 4, toQColor(glow_), 0.45);
}

void DockSilhouette::paintBody(QPainter& painter, const QRectF& body) const
{
    QLinearGradient fill(body.topLeft(), body.bottomRight());
    fill.setColorAt(0, QColor::fromRgbF(0.16f, 0.16f, 0.16f));
    fill.setColorAt(1, QColor::fromRgbF(0.06f, 0.06f, 0.06f));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(255, 255, 255, 38), 1));
    painter.drawRoundedRect(body, 12, 12);
}

void DockSilhouette::paintVents(QPainter& painter, QPointF origin) const
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 128));
    for (int vent = 0; vent < 10; ++vent) {
        painter.drawRoundedRect(QRectF(origin.x() + vent * 7, origin.y(), 3, 16), 1.5, 1.5);
    }
}

qreal DockSilhouette::paintLogo(QPainter& painter, QPointF origin) const
{
    // Made once: the preview paints thirty times a second.
    static const QFont logo = studioFont(19, QFont::Black);
    const QFontMetricsF logoMetrics(logo);
    const QPointF baseline = origin + QPointF(0, logoMetrics.ascent());
    painter.setFont(logo);
    const QColor glow = toQColor(glow_);
    // The logo's glow: the word drawn faintly around itself.
    painter.setPen(withAlpha(glow, 0.2));
    for (const QPointF offset : {QPointF(-1.5, 0), QPointF(1.5, 0), QPointF(0, -1.5), QPointF(0, 1.5)}) {
        painter.drawText(baseline + offset, QStringLiteral("KAVRIN"));
    }
    painter.setPen(glow);
    painter.drawText(baseline, QStringLiteral("KAVRIN"));

    static const QFont label = [] {
        QFont font = studioFont(7, QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        return font;
    }();
    const QFontMetricsF labelMetrics(label);
    const qreal labelTop = origin.y() + logoMetrics.height() + 3;
    painter.setFont(label);
    painter.setPen(QColor(142, 142, 147));
    painter.drawText(QPointF(origin.x(), labelTop + labelMetrics.ascent()),
                     profile_ == ControllerProfile::mindCube ? QStringLiteral("MIND CUBE")
                                                             : QStringLiteral("FORGE CUBE"));
    return labelTop + labelMetrics.height();
}

void DockSilhouette::paintStrip(QPainter& painter, const QRectF& area) const
{
    paintGlow(painter, area, area.height() / 2, 7, toQColor(glow_), 0.7);
    QPainterPath capsule;
    capsule.addRoundedRect(area, area.height() / 2, area.height() / 2);
    painter.save();
    painter.setClipPath(capsule);
    painter.setPen(Qt::NoPen);
    const qreal width = area.width() / qreal(strip_.size());
    for (std::size_t index = 0; index < strip_.size(); ++index) {
        // Overlap by a hair so no seam shows between antialiased neighbours.
        painter.fillRect(QRectF(area.left() + width * qreal(index), area.top(), width + 0.5, area.height()),
                         toQColor(strip_[index]));
    }
    painter.restore();
}

} // namespace kavrin
