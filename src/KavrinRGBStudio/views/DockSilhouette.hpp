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
    struct Layout;
    Layout layoutOf(const QRectF& frame) const;
    // The body, vents and model label: the same in every frame, so drawn once per size and kept.
    void paintStaticParts(QPainter& painter, const Layout& layout) const;
    void paintLogo(QPainter& painter, const Layout& layout) const;
    void paintStrip(QPainter& painter, const Layout& layout) const;

    ControllerProfile profile_;
    std::span<const LightColor> strip_;
    LightColor glow_;
};

} // namespace kavrin
