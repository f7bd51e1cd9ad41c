#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <QRectF>

#include <span>

class QPainter;

namespace kavrin {

// The stylised dock of the preview: halo, body with vents and logo, and the lamp strip.
class DockSilhouette {
public:
    DockSilhouette(ControllerProfile profile, std::span<const LightColor> strip, LightColor glow);
    void paint(QPainter& painter, const QRectF& frame) const;

private:
    void paintHalo(QPainter& painter, const QRectF& frame) const;
    void paintBody(QPainter& painter, const QRectF& body) const;
    void paintVents(QPainter& painter, QPointF origin) const;
    // Returns the bottom edge of the logo block.
    qreal paintLogo(QPainter& painter, QPointF origin) const;
    void paintStrip(QPainter& painter, const QRectF& area) const;

    ControllerProfile profile_;
    std::span<const LightColor> strip_;
    LightColor glow_;
};

} // namespace kavrin
