#include "KavrinRGBStudio/views/SliderRow.hpp"

#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace kavrin {

SliderRow::SliderRow(const QString& title, const QString& name, int titleWidth, int valueWidth, QWidget* parent)
    : QWidget(parent)
    , slider_(new QSlider(Qt::Horizontal))
    , value_(new QLabel)
{
    auto* layout = flushRow(this, 12);

    auto* heading = makeLabel(title, TextStyle::subheadline, TextTone::primary, QFont::Medium);
    heading->setFixedWidth(titleWidth);
    slider_->setObjectName(name + QStringLiteral("Slider"));
    slider_->setSingleStep(1);
    slider_->setPageStep(1);
    value_->setObjectName(name + QStringLiteral("Value"));
    value_->setFont(studioFont(TextStyle::caption, QFont::Normal, true));
    value_->setFixedWidth(valueWidth);
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTone(value_, TextTone::secondary);

    layout->addWidget(heading);
    layout->addWidget(slider_, 1);
    layout->addWidget(value_);
    connect(slider_, &QSlider::valueChanged, this, &SliderRow::valueEdited);
}

void SliderRow::showValue(int value, int minimum, int maximum, const QString& label)
{
    const QSignalBlocker blocker(slider_);
    slider_->setRange(minimum, maximum);
    slider_->setValue(value);
    setTextIfChanged(value_, label);
}

} // namespace kavrin
