#include "KavrinRGBStudio/views/NativeSyncPanel.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavrin {

NativeSyncPanel::NativeSyncPanel(StudioModel& model, QWidget* parent)
    : QFrame(parent)
    , model_(model)
    , count_(makeLabel({}, TextStyle::caption, TextTone::secondary))
    , effect_(new QComboBox)
    , button_(new QPushButton)
    , message_(makeMessageLabel("syncMessage"))
{
    setObjectName("nativeSyncPanel");
    setProperty("card", "box");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);

    count_->setObjectName("syncCount");
    layout->addLayout(panelHeader(StudioIcon::link, QStringLiteral("同步硬件配置"), count_));

    auto* controls = new QHBoxLayout;
    controls->setSpacing(10);
    controls->addWidget(makeLabel(QStringLiteral("共同灯效"), TextStyle::subheadline));
    effect_->setObjectName("syncEffect");
    effect_->setMaximumWidth(300);
    effect_->setMinimumWidth(160);
    connect(effect_, &QComboBox::activated, this, [this](int index) {
        if (const auto effect = lightingEffectFromRaw(effect_->itemData(index).toInt())) {
            model_.setSyncEffect(*effect);
        }
    });
    controls->addWidget(effect_);
    button_->setObjectName("syncButton");
    connect(button_, &QPushButton::clicked, this, [this] { model_.synchronize(); });
    controls->addWidget(button_);
    controls->addStretch();
    layout->addLayout(controls);

    layout->addWidget(makeNoteLabel(QStringLiteral("采用当前颜色、亮度和相对速度；混合型号按共同亮度档位对齐。"
                                                   "内置效果的动态相位可能不同，实时同相请用软件灯效。")));
    layout->addWidget(message_);
}

void NativeSyncPanel::refresh()
{
    setEnabled(model_.liveState() == LiveState::idle);
    setTextIfChanged(count_, QStringLiteral("已勾选 %1 台").arg(model_.syncTargetIDs().size()));
    refreshEffects();
    button_->setText(model_.syncBusy() ? QStringLiteral("正在同步…") : QStringLiteral("同步应用"));
    button_->setEnabled(model_.canSynchronize());
    setStatusText(message_, QString::fromStdString(model_.syncMessage()), model_.syncError());
}

void NativeSyncPanel::refreshEffects()
{
    auto offered = model_.commonSyncEffects();
    if (offered.empty()) {
        offered.push_back(LightingEffect::solid);
    }
    showEffects(effect_, offered, model_.syncEffect());
}

} // namespace kavrin
