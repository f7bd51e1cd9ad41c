#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <QColor>
#include <QToolButton>

#include <optional>
#include <string>

namespace kavrin {

QColor toQColor(LightColor color);
// A picked colour in sRGB, each channel times 255 rounded half away from zero; components outside
// 0...1 (extended range) are clamped. Nothing for an invalid colour.
std::optional<LightColor> lightColorFromPicked(const QColor& picked);
// The colour the text spells, or nothing when it is not six hexadecimal digits.
std::optional<LightColor> parsedColor(const std::string& text);

// A button that shows one colour: a rounded swatch or a small dot.
class ColorSwatch : public QToolButton {
    Q_OBJECT

public:
    enum class Shape { well, dot };

    ColorSwatch(Shape shape, QWidget* parent = nullptr);
    void setColor(LightColor color);
    LightColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape shape_;
    LightColor color_;
};

// A swatch that opens the colour dialog (no alpha) and reports the colour picked there.
class ColorWell : public ColorSwatch {
    Q_OBJECT

public:
    explicit ColorWell(const QString& title, QWidget* parent = nullptr);

signals:
    void colorPicked(LightColor color);

private:
    void openDialog();

    QString title_;
};

} // namespace kavrin
