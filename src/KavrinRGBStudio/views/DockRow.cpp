#include "KavrinRGBStudio/views/DockRow.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kavrin {

namespace {

// A button that is all label: the row's frame draws its background.
class PlainButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override { }
};

QLabel* monoLabel(const QString& text, int pixelSize)
{
    auto* label = makeSizedLabel(text, pixelSize, QFont::Normal, true);
    setTone(label, TextTone::secondary);
    return label;
}

} // namespace

DockStatusWord dockStatusWord(const StudioModel& model, std::uint64_t id)
{
    if (model.liveTargetIDs().contains(id)) {
        return {model.liveState() == LiveState::running ? QStringLiteral("软件灯效 · 输出中")
                                                        : QStringLiteral("软件灯效 · 准备 / 还原"),
                false, true};
    }
    const auto session = model.session(id);
    if (!session) {
        return {};
    }
    if (session->busy()) {
        return {QStringLiteral("正在操作…"), session->isError};
    }
    if (session->isError) {
        return {QStringLiteral("需要检查"), true};
    }
    if (!session->lastRead) {
        return {QStringLiteral("尚未读取"), false};
    }
    return {session->edited() ? QStringLiteral("有未应用的编辑") : QStringLiteral("已读取 / 已确认"), false};
}

DockRow::DockRow(StudioModel& model, const RGBDevice& device, QWidget* parent)
    : QFrame(parent)
    , model_(model)
    , device_(device)
    , syncCheck_(new QCheckBox)
{
    setObjectName(QStringLiteral("deviceRow_%1").arg(device.id));
    setProperty("card", "row");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    syncCheck_->setObjectName("syncCheck");
    syncCheck_->setAccessibleName(QStringLiteral("同步 ") + dockName(device));
    syncCheck_->setToolTip(QStringLiteral("勾选加入同步目标"));
    connect(syncCheck_, &QCheckBox::clicked, this, [this] { model_.toggleSyncTarget(device_.id); });
    layout->addWidget(syncCheck_, 0, Qt::AlignTop);
    layout->addWidget(makeSelectButton(), 1);
}

QWidget* DockRow::makeSelectButton()
{
    auto* button = new PlainButton;
    button->setObjectName("selectButton");
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(QStringLiteral("%1 · %2:%3 · USB %4 · ID %5")
                           .arg(modelTitle(device_), usbIDText(device_.vendorID), usbIDText(device_.productID),
                                locationText(device_.locationID))
                           .arg(device_.id));
    connect(button, &QAbstractButton::clicked, this, [this] { model_.select(device_.id); });

    auto* column = flushColumn(button, 3);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    titleRow->addWidget(iconLabel(studioIcon(StudioIcon::dock), 14));
    titleRow->addWidget(makeLabel(modelTitle(device_), TextStyle::caption, TextTone::primary, QFont::DemiBold));
    checkmark_ = iconLabel(tintedIcon(StudioIcon::checkmark, ember), 14);
    titleRow->addWidget(checkmark_);
    titleRow->addStretch();
    column->addLayout(titleRow);
    column->addWidget(monoLabel(usbIDText(device_.vendorID) + " : " + usbIDText(device_.productID), 11));
    column->addWidget(monoLabel(QStringLiteral("USB ") + locationText(device_.locationID), 10));
    status_ = makeLabel({}, TextStyle::caption2);
    status_->setObjectName("rowStatus");
    column->addWidget(status_);
    for (auto* label : button->findChildren<QLabel*>()) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    return button;
}

void DockRow::refresh()
{
    const bool current = model_.workspace().selectedID() == device_.id;
    setStyleProperty(this, "current", current ? "true" : "false");
    checkmark_->setVisible(current);

    syncCheck_->setChecked(model_.syncTargetIDs().contains(device_.id));
    syncCheck_->setEnabled(model_.liveState() == LiveState::idle && !model_.syncBusy() && !model_.quitting());

    const DockStatusWord word = dockStatusWord(model_, device_.id);
    status_->setVisible(!word.text.isEmpty());
    setTextIfChanged(status_, word.text);
    setTone(status_, word.live ? TextTone::accent : word.isError ? TextTone::error : TextTone::secondary);
}

} // namespace kavrin
