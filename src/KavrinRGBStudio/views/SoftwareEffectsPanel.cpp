#include "KavrinRGBStudio/views/SoftwareEffectsPanel.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/SliderRow.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrin {

namespace {

const QColor secondaryIcon(235, 235, 245, 153);

bool anyBusy(const StudioModel& model, const std::vector<RGBDevice>& docks)
{
    return std::any_of(docks.begin(), docks.end(), [&model](const RGBDevice& dock) {
        const auto session = model.session(dock.id);
        return session && session->busy();
    });
}

QString targetLine(const std::vector<RGBDevice>& targets)
{
    if (targets.empty()) {
        return QStringLiteral("目标：从左侧选择一台，或勾选多台同步");
    }
    QStringList names;
    for (const auto& target : targets) {
        names << dockName(target);
    }
    return QStringLiteral("目标：") + names.join(QStringLiteral("、"));
}

} // namespace

QString startLiveText(std::size_t targetCount)
{
    return targetCount >= 2 ? QStringLiteral("开始同步 %1 台").arg(targetCount) : QStringLiteral("开始实时灯效");
}

SoftwareEffectsPanel::SoftwareEffectsPanel(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName("softwareEffectsPanel");
    auto* layout = flushColumn(this, 22);

    editing_ = new QWidget;
    editing_->setObjectName("softwareEditing");
    auto* editing = flushColumn(editing_, 16);
    editing->addWidget(makeStyleGrid());
    editing->addWidget(makeThemeRow());
    rainbowHint_
        = makeLabel(QStringLiteral("此模式使用全色谱，无需选择配色。"), TextStyle::caption2, TextTone::secondary);
    rainbowHint_->setObjectName("rainbowHint");
    editing->addWidget(rainbowHint_);
    editing->addWidget(makeColorRow());
    brightness_ = new SliderRow(QStringLiteral("亮度"), QStringLiteral("animationBrightness"), 38, 60);
    connect(brightness_, &SliderRow::valueEdited, this, [this](int value) {
        editAnimation([value](AnimationSettings& animation) { animation.brightness = value; });
    });
    speed_ = new SliderRow(QStringLiteral("速度"), QStringLiteral("animationSpeed"), 38, 60);
    connect(speed_, &SliderRow::valueEdited, this,
            [this](int value) { editAnimation([value](AnimationSettings& animation) { animation.speed = value; }); });
    editing->addWidget(brightness_);
    editing->addWidget(speed_);
    layout->addWidget(editing_);
    layout->addWidget(makeLiveBox());
}

QWidget* SoftwareEffectsPanel::makeStyleGrid()
{
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    constexpr int columns = 3;
    for (std::size_t index = 0; index < allAnimationStyles.size(); ++index) {
        const AnimationStyle style = allAnimationStyles[index];
        auto* button = new QPushButton(qtText(title(style)));
        button->setObjectName(QStringLiteral("style_") + qtText(rawValue(style)));
        button->setProperty("styleTile", true);
        button->setFont(studioFont(TextStyle::caption, QFont::Medium));
        button->setIconSize(QSize(16, 16));
        button->setMinimumWidth(10);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QPushButton::clicked, this,
                [this, style] { editAnimation([style](AnimationSettings& animation) { animation.style = style; }); });
        layout->addWidget(button, int(index) / columns, int(index) % columns);
        styleButtons_.push_back(button);
    }
    for (int column = 0; column < columns; ++column) {
        layout->setColumnStretch(column, 1);
    }
    return grid;
}

QWidget* SoftwareEffectsPanel::makeThemeRow()
{
    themeRow_ = new QWidget;
    themeRow_->setObjectName("themeRow");
    auto* layout = flushRow(themeRow_, 6);
    layout->addWidget(makeLabel(QStringLiteral("配色主题"), TextStyle::caption, TextTone::secondary));
    for (const ColorTheme theme : allColorThemes) {
        auto* button = new QPushButton(qtText(title(theme)));
        button->setObjectName(QStringLiteral("theme_") + qtText(rawValue(theme)));
        button->setFont(studioFont(TextStyle::caption));
        connect(button, &QPushButton::clicked, this, [this, theme] { model_.setTheme(theme); });
        layout->addWidget(button);
    }
    layout->addStretch();
    return themeRow_;
}

QWidget* SoftwareEffectsPanel::makeColorRow()
{
    auto* row = new QWidget;
    auto* layout = flushRow(row, 18);
    palettes_ = {
        makePalette(QStringLiteral("主色"), "primary", &AnimationSettings::primary),
        makePalette(QStringLiteral("辅色"), "secondary", &AnimationSettings::secondary),
        makePalette(QStringLiteral("点缀"), "tertiary", &AnimationSettings::tertiary),
    };
    for (const Palette& palette : palettes_) {
        layout->addWidget(palette.column);
    }
    layout->addStretch();
    return row;
}

SoftwareEffectsPanel::Palette SoftwareEffectsPanel::makePalette(const QString& title, const char* name,
                                                                LightColor AnimationSettings::*field)
{
    auto* column = new QWidget;
    column->setObjectName(QLatin1String(name) + QStringLiteral("Palette"));
    auto* layout = flushColumn(column, 4);
    layout->addWidget(makeLabel(title, TextStyle::caption));
    auto* well = new ColorWell(title);
    well->setObjectName(QLatin1String(name) + QStringLiteral("Well"));
    connect(well, &ColorWell::colorPicked, this, [this, field](LightColor color) {
        editAnimation([field, color](AnimationSettings& animation) { animation.*field = color; });
    });
    layout->addWidget(well);
    auto* hex = makeSizedLabel({}, 10, QFont::Normal, true);
    hex->setObjectName(QLatin1String(name) + QStringLiteral("Hex"));
    setTone(hex, TextTone::secondary);
    layout->addWidget(hex);
    return {column, well, hex, field};
}

QWidget* SoftwareEffectsPanel::makeLiveBox()
{
    auto* box = new QFrame;
    box->setObjectName("liveBox");
    box->setProperty("card", "box");
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    liveButton_ = new QPushButton;
    liveButton_->setObjectName("liveButton");
    liveButton_->setProperty("prominent", true);
    connect(liveButton_, &QPushButton::clicked, this, [this] {
        if (model_.liveState() == LiveState::idle) {
            model_.startLive();
        } else {
            model_.stopLive(std::nullopt, nullptr);
        }
    });
    layout->addLayout(panelHeader(StudioIcon::waveform, QStringLiteral("软件实时灯光"), liveButton_));
    targets_ = makeLabel({}, TextStyle::caption, TextTone::secondary);
    targets_->setObjectName("liveTargets");
    targets_->setWordWrap(true);
    layout->addWidget(targets_);
    layout->addWidget(
        makeNoteLabel(QStringLiteral("约 8 帧/秒；只更新临时颜色。保持应用开启，停止、关闭窗口或正常退出时还原启动前"
                                     "设置。断线或强制退出可能留下最后一帧。")));
    liveMessage_ = makeMessageLabel("liveMessage");
    layout->addWidget(liveMessage_);
    return box;
}

void SoftwareEffectsPanel::refresh()
{
    const AnimationSettings& animation = model_.animation();
    const LiveState state = model_.liveState();
    editing_->setEnabled(state == LiveState::idle || state == LiveState::running);
    refreshStyles();

    const int colorCount = kavrin::colorCount(animation.style);
    themeRow_->setEnabled(colorCount > 0);
    rainbowHint_->setVisible(animation.style == AnimationStyle::rainbow);
    for (std::size_t index = 0; index < palettes_.size(); ++index) {
        const Palette& palette = palettes_[index];
        const LightColor color = animation.*palette.field;
        palette.column->setEnabled(colorCount > int(index));
        palette.well->setColor(color);
        setTextIfChanged(palette.hex, QStringLiteral("#") + QString::fromStdString(color.hex()));
    }
    brightness_->showValue(int(animation.brightness), 0, 100, QStringLiteral("%1%").arg(animation.brightness));
    speed_->showValue(int(animation.speed), 1, 10, QStringLiteral("%1 / 10").arg(animation.speed));
    refreshLive();
}

void SoftwareEffectsPanel::refreshStyles()
{
    const AnimationStyle current = model_.animation().style;
    for (std::size_t index = 0; index < styleButtons_.size(); ++index) {
        const AnimationStyle style = allAnimationStyles[index];
        auto* button = styleButtons_[index];
        if (setStyleProperty(button, "current", style == current ? "true" : "false") || button->icon().isNull()) {
            button->setIcon(styleIcon(style, style == current ? accent : secondaryIcon));
        }
    }
}

void SoftwareEffectsPanel::refreshLive()
{
    const LiveState state = model_.liveState();
    const auto targets = model_.realTimeTargets();
    if (state == LiveState::idle) {
        liveButton_->setText(startLiveText(targets.size()));
        liveButton_->setEnabled(!targets.empty() && !model_.syncBusy() && !anyBusy(model_, targets));
    } else {
        liveButton_->setText(state == LiveState::stopping ? QStringLiteral("正在还原…") : QStringLiteral("停止并还原"));
        liveButton_->setEnabled(state != LiveState::stopping);
    }
    setTextIfChanged(targets_, targetLine(targets));
    setStatusText(liveMessage_, QString::fromStdString(model_.liveMessage()), model_.liveError());
}

void SoftwareEffectsPanel::editAnimation(const std::function<void(AnimationSettings&)>& change)
{
    AnimationSettings animation = model_.animation();
    change(animation);
    model_.setAnimation(animation);
}

} // namespace kavrin
