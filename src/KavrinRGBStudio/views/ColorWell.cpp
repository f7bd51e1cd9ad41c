#include "KavrinRGBStudio/views/ColorWell.hpp"

#include <QColorDialog>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kavrin {

namespace {

std::uint8_t channel(float component)
{
    // std::round rounds halves away from zero.
    return static_cast<std::uint8_t>(std::round(std::clamp(component, 0.0f, 1.0f) * 255.0f));
}

} // namespace

QColor toQColor(LightColor color)
{
    return QColor(color.red, color.green, color.blue);
}

std::optional<LightColor> lightColorFromPicked(const QColor& picked)
{
    if (!picked.isValid()) {
        return std::nullopt;
    }
    const QColor rgb = picked.toRgb();
    if (!rgb.isValid()) {
        return std::nullopt;
    }
    return LightColor {channel(rgb.redF()), channel(rgb.greenF()), channel(rgb.blueF())};
}

std::optional<LightColor> parsedColor(const std::string& text)
{
    try {
        return LightColor::fromHex(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

ColorSwatch::ColorSwatch(Shape shape, QWidget* parent)
    : QToolButton(parent)
    , shape_(shape)
{
    setProperty("swatch", true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(shape == Shape::dot ? QSize(20, 20) : QSize(44, 24));
}

void ColorSwatch::setColor(LightColor color)
{
    if (color_ != color) {
        color_ = color;
        update();
    }
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.35);
    painter.setBrush(toQColor(color_));
    painter.setPen(QPen(QColor(255, 255, 255, 64), 1));
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (shape_ == Shape::dot) {
        painter.drawEllipse(area);
    } else {
        painter.drawRoundedRect(area, 6, 6);
    }
}

ColorWell::ColorWell(const QString& title, QWidget* parent)
    : ColorSwatch(Shape::well, parent)
    , title_(title)
{
    setToolTip(title);
    connect(this, &QToolButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::openDialog()
{
    // Window-modal and asynchronous: the event loop, and with it the preview, keeps running.
    auto* dialog = new QColorDialog(toQColor(color()), this);
    dialog->setObjectName("colorDialog");
    dialog->setWindowTitle(title_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor& picked) {
        if (const auto color = lightColorFromPicked(picked)) {
            emit colorPicked(*color);
        }
    });
    dialog->open();
}

} // namespace kavrin
