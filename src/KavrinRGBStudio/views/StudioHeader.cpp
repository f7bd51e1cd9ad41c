#include "KavrinRGBStudio/views/StudioHeader.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrin {

QString badgeWord(const StudioModel& model)
{
    if (model.demo()) {
        return QStringLiteral("演示");
    }
    if (model.liveState() != LiveState::idle) {
        return QStringLiteral("实时输出中");
    }
    if (model.selected()) {
        return QStringLiteral("已连接");
    }
    return model.devices().empty() ? QStringLiteral("未连接") : QStringLiteral("未选择");
}

StudioHeader::StudioHeader(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , subtitle_(makeLabel({}, TextStyle::subheadline, TextTone::secondary))
    , badge_(makeLabel({}, TextStyle::caption, TextTone::primary, QFont::Medium))
{
    auto* layout = flushRow(this, 12);
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(makeSizedLabel(QStringLiteral("让灯光，恰到好处。"), 26, QFont::DemiBold));
    subtitle_->setObjectName("headerSubtitle");
    column->addWidget(subtitle_);
    layout->addLayout(column);
    layout->addStretch();
    badge_->setObjectName("badge");
    layout->addWidget(badge_, 0, Qt::AlignTop);
}

void StudioHeader::refresh()
{
    const auto selected = model_.selected();
    setTextIfChanged(subtitle_,
                     selected ? modelTitle(*selected) + QStringLiteral(" · USB ") + locationText(selected->locationID)
                              : QStringLiteral("从左侧选择要调节的扩展坞"));
    setTextIfChanged(badge_, badgeWord(model_));
    setStyleProperty(badge_, "connected", selected ? "true" : "false");
}

ModeSwitch::ModeSwitch(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , segments_(new QWidget)
{
    auto* layout = flushRow(this, 12);
    layout->addWidget(makeLabel(QStringLiteral("控制方式"), TextStyle::subheadline, TextTone::secondary));

    segments_->setObjectName("modeSwitch");
    auto* segmentsLayout = flushRow(segments_, 0);
    auto* group = new QButtonGroup(this);
    for (const StudioMode mode : allStudioModes) {
        auto* button = new QPushButton(qtText(rawValue(mode)));
        button->setObjectName(mode == StudioMode::hardware ? "modeHardware" : "modeSoftware");
        button->setCheckable(true);
        group->addButton(button);
        segmentsLayout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, mode] { model_.setMode(mode); });
        buttons_.push_back(button);
    }
    layout->addWidget(segments_);
    layout->addStretch();
}

void ModeSwitch::refresh()
{
    segments_->setEnabled(model_.liveState() == LiveState::idle);
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        buttons_[index]->setChecked(allStudioModes[index] == model_.mode());
    }
}

} // namespace kavrin
