#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <QColor>
#include <QRectF>
#include <QString>

#include <functional>
#include <span>

class QPainter;

namespace kavrin {

// Shapes whose outline stays put while their colour changes every frame, as the preview's glow and
// lamp segments do thirty times a second. The antialiased coverage is drawn once per geometry and
// kept; a frame then costs plain rectangle fills instead of rasterising paths again.
// `draw` paints the shape in opaque white within `bounds`, in the painter's coordinates; `key`
// names the shape and, together with the bounds, identifies its coverage.
using ShapeDrawing = std::function<void(QPainter&)>;

void paintTinted(QPainter& painter, const QRectF& bounds, const QString& key, const ShapeDrawing& draw,
                 const QColor& color);

// Colours the shape in side-by-side bands of equal width across `bounds`, one per colour, left to
// right.
void paintBands(QPainter& painter, const QRectF& bounds, const QString& key, const ShapeDrawing& draw,
                std::span<const LightColor> colors);

} // namespace kavrin
