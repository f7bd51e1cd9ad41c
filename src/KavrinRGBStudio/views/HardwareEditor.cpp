#include "KavrinRGBStudio/views/HardwareEditor.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/BusySpinner.hpp"
#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/NativeSyncPanel.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/SliderRow.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace kavrin {

namespace {

constexpr std::array<LightColor, 6> presetColors {
    LightColor {0xFF, 0x64, 0x00}, LightColor {0xEF, 0x44, 0x44}, LightColor {0x22, 0xC5, 0x5E},
    LightColor {0x3B, 0x82, 0xF6}, LightColor {0xA8, 0x55, 0xF7}, LightColor {0xFF, 0xFF, 0xFF},
};

QLabel* fieldTitle(const QString& text)
{
    auto* label = makeLabel(text, TextStyle::subheadline, TextTone::primary, QFont::Medium);
    label->setFixedWidth(42);
    return label;
}

QPushButton* actionButton(const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setMinimumHeight(34);
    return button;
}

// The selected dock can take an operation: one is selected and nothing runs on it.
bool selectedDockIdle(const StudioModel& model)
{
    const auto session = model.workspace().selectedSession();
    return model.selected() && session && !session->busy();
}

} // namespace

HardwareEditor::HardwareEditor(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    auto* layout = flushColumn(this, 22);
    layout->addWidget(makeControls());
    layout->addWidget(makeActions());
    syncPanel_ = new NativeSyncPanel(model);
    layout->addWidget(syncPanel_);
    layout->addWidget(makeStatus());
}

QWidget* HardwareEditor::makeControls()
{
    controls_ = new QWidget;
    controls_->setObjectName("hardwareControls");
    auto* layout = flushColumn(controls_, 14);
    layout->addWidget(makeEffectRow());
    layout->addWidget(makeColorRow());
    hexHint_ = makeLabel(QStringLiteral("请输入六位 RGB 颜色，例如 FF6400；也可以读取设备当前设置。"),
                         TextStyle::caption, TextTone::error);
    hexHint_->setObjectName("hexHint");
    layout->addWidget(hexHint_);

    brightness_ = new SliderRow(QStringLiteral("亮度"), QStringLiteral("brightness"), 42, 64);
    connect(brightness_, &SliderRow::valueEdited, this,
            [this](int value) { editSettings([value](LightingSettings& settings) { settings.brightness = value; }); });
    speed_ = new SliderRow(QStringLiteral("速度"), QStringLiteral("speed"), 42, 64);
    connect(speed_, &SliderRow::valueEdited, this,
            [this](int value) { editSettings([value](LightingSettings& settings) { settings.speed = value; }); });
    layout->addWidget(brightness_);
    layout->addWidget(speed_);
    return controls_;
}

QWidget* HardwareEditor::makeEffectRow()
{
    auto* row = new QWidget;
    auto* layout = flushRow(row, 10);
    layout->addWidget(makeLabel(QStringLiteral("灯效"), TextStyle::subheadline, TextTone::primary, QFont::Medium));
    layout->addStretch();
    effect_ = new QComboBox;
    effect_->setObjectName("effectPicker");
    effect_->setAccessibleName(QStringLiteral("灯效"));
    effect_->setFixedWidth(205);
    connect(effect_, &QComboBox::activated, this, [this](int index) {
        const auto effect = lightingEffectFromRaw(effect_->itemData(index).toInt());
        if (effect) {
            editSettings([effect](LightingSettings& settings) { settings.effect = *effect; });
        }
    });
    layout->addWidget(effect_);
    return row;
}

QWidget* HardwareEditor::makeColorRow()
{
    colorRow_ = new QWidget;
    colorRow_->setObjectName("colorRow");
    auto* layout = flushRow(colorRow_, 10);
    layout->addWidget(fieldTitle(QStringLiteral("颜色")));
    well_ = new ColorWell(QStringLiteral("选择颜色"));
    well_->setObjectName("colorWell");
    connect(well_, &ColorWell::colorPicked, this, [this](LightColor color) { model_.setColor(color); });
    layout->addWidget(well_);
    layout->addWidget(makeLabel(QStringLiteral("#"), TextStyle::body, TextTone::secondary));
    hexField_ = new QLineEdit;
    hexField_->setObjectName("hexField");
    hexField_->setPlaceholderText(QStringLiteral("FF6400"));
    hexField_->setFont(studioFont(TextStyle::body, QFont::Normal, true));
    hexField_->setFixedWidth(94);
    connect(hexField_, &QLineEdit::textEdited, this, &HardwareEditor::editHexText);
    layout->addWidget(hexField_);
    for (const LightColor color : presetColors) {
        auto* swatch = new ColorSwatch(ColorSwatch::Shape::dot);
        const QString hex = QString::fromStdString(color.hex());
        swatch->setObjectName(QStringLiteral("swatch_") + hex);
        swatch->setToolTip(QStringLiteral("#") + hex);
        swatch->setColor(color);
        connect(swatch, &ColorSwatch::clicked, this, [this, color] { model_.setColor(color); });
        layout->addWidget(swatch);
    }
    layout->addStretch();
    return colorRow_;
}

QWidget* HardwareEditor::makeActions()
{
    auto* row = new QWidget;
    auto* layout = flushRow(row, 10);
    read_ = actionButton(QStringLiteral("读取当前设置"), "readButton");
    read_->setIcon(studioIcon(StudioIcon::read));
    apply_ = actionButton(QStringLiteral("应用"), "applyButton");
    applySave_ = actionButton(QStringLiteral("应用并保存"), "applySaveButton");
    applySave_->setProperty("prominent", true);
    connect(read_, &QPushButton::clicked, this, [this] { model_.read(); });
    connect(apply_, &QPushButton::clicked, this, [this] { model_.apply(false); });
    connect(applySave_, &QPushButton::clicked, this, [this] { model_.apply(true); });
    layout->addWidget(read_);
    layout->addWidget(apply_);
    layout->addWidget(applySave_);
    layout->addStretch();
    return row;
}

QWidget* HardwareEditor::makeStatus()
{
    auto* box = new QFrame;
    box->setProperty("card", "status");
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    spinner_ = new BusySpinner;
    spinner_->setObjectName("statusSpinner");
    statusIcon_ = new QLabel;
    statusIcon_->setObjectName("statusIcon");
    layout->addWidget(spinner_, 0, Qt::AlignTop);
    layout->addWidget(statusIcon_, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    statusText_ = makeLabel({}, TextStyle::caption, TextTone::secondary);
    statusText_->setObjectName("statusText");
    statusText_->setWordWrap(true);
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(statusText_);
    auto* note = makeLabel(QStringLiteral("每台设备独立编辑；操作仅作用于当前选中的扩展坞。“应用并保存”会保存到设备。"),
                           TextStyle::caption2, TextTone::tertiary);
    note->setWordWrap(true);
    column->addWidget(note);
    layout->addLayout(column, 1);
    return box;
}

void HardwareEditor::refresh()
{
    refreshControls();
    const bool idle = selectedDockIdle(model_);
    const bool colorParses = parsedColor(model_.hexText()).has_value();
    read_->setEnabled(idle);
    apply_->setEnabled(idle && colorParses);
    applySave_->setEnabled(idle && colorParses);
    syncPanel_->refresh();
    refreshStatus();
}

void HardwareEditor::refreshControls()
{
    const LightingSettings settings = model_.settings();
    const ControllerProfile profile = profileOrDefault(model_.selected());
    controls_->setEnabled(selectedDockIdle(model_));
    showEffects(effect_, effects(profile), settings.effect);

    colorRow_->setEnabled(usesColor(settings.effect));
    well_->setColor(settings.color);
    const QString hexText = QString::fromStdString(model_.hexText());
    if (hexField_->text() != hexText) {
        hexField_->setText(hexText);
    }
    hexHint_->setVisible(!parsedColor(model_.hexText()));

    brightness_->showValue(int(settings.brightness), 10, 100, QStringLiteral("%1%").arg(settings.brightness));
    const auto maximum = speedRange(profile).upperBound;
    speed_->showValue(int(settings.speed), 1, int(maximum), QStringLiteral("%1 / %2").arg(settings.speed).arg(maximum));
    speed_->setEnabled(usesSpeed(profile, settings.effect));
}

void HardwareEditor::refreshStatus()
{
    const auto session = model_.workspace().selectedSession();
    const bool busy = session && session->busy();
    spinner_->setVisible(busy);
    statusIcon_->setVisible(!busy);
    const bool isError = model_.isError();
    if (statusIcon_->property("error") != QVariant(isError)) {
        statusIcon_->setProperty("error", isError);
        const QIcon icon = isError ? tintedIcon(StudioIcon::error, QColor(255, 69, 58))
                                   : tintedIcon(StudioIcon::info, QColor(235, 235, 245, 153));
        statusIcon_->setPixmap(icon.pixmap(16, 16));
    }
    setStatusText(statusText_, QString::fromStdString(model_.status()), isError);
}

void HardwareEditor::editSettings(const std::function<void(LightingSettings&)>& change)
{
    LightingSettings settings = model_.settings();
    change(settings);
    model_.setSettings(settings);
}

void HardwareEditor::editHexText(const QString& text)
{
    const std::string hex = text.toStdString();
    model_.setHexText(hex);
    if (const auto color = parsedColor(hex)) {
        editSettings([&color](LightingSettings& settings) { settings.color = *color; });
    }
}

} // namespace kavrin
