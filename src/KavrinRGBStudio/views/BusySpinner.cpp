#include "KavrinRGBStudio/views/BusySpinner.hpp"

#include <QPainter>

namespace kavrin {

namespace {

constexpr int spokes = 8;

} // namespace

BusySpinner::BusySpinner(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(16, 16);
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    });
}

void BusySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect().center() + QPointF(0.5, 0.5));
    for (int spoke = 0; spoke < spokes; ++spoke) {
        const int age = (step_ - spoke + spokes) % spokes;
        painter.setPen(QPen(QColor(235, 235, 245, 230 - age * 25), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -3.5), QPointF(0, -7));
        painter.rotate(360.0 / spokes);
    }
}

void BusySpinner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    timer_.start();
}

void BusySpinner::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer_.stop();
}

} // namespace kavrin
