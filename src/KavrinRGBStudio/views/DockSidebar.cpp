#include "KavrinRGBStudio/views/DockSidebar.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/DockRow.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSysInfo>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kavrin {

namespace {

QToolButton* borderlessButton(const QString& text, const char* name)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setProperty("borderless", true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QWidget* row(std::initializer_list<QWidget*> widgets, bool stretchBeforeLast)
{
    auto* container = new QWidget;
    auto* layout = flushRow(container, 8);
    for (auto* widget : widgets) {
        if (stretchBeforeLast && widget == *std::prev(widgets.end())) {
            layout->addStretch();
        }
        layout->addWidget(widget);
    }
    if (!stretchBeforeLast) {
        layout->addStretch();
    }
    return container;
}

} // namespace

QString nativeArchitectureText()
{
#if defined(__x86_64__)
    const QString architecture = QStringLiteral("x86_64");
#elif defined(__aarch64__)
    const QString architecture = QStringLiteral("arm64");
#elif defined(__i386__)
    const QString architecture = QStringLiteral("i386");
#elif defined(__riscv) && __riscv_xlen == 64
    const QString architecture = QStringLiteral("riscv64");
#else
    const QString architecture = QSysInfo::buildCpuArchitecture();
#endif
    return QStringLiteral("原生 ") + architecture.toUpper();
}

DockSidebar::DockSidebar(StudioModel& model, QWidget* parent)
    : QFrame(parent)
    , model_(model)
{
    setObjectName("sidebar");
    setFixedWidth(250);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(22);
    layout->addWidget(makeBrandRow());
    layout->addWidget(makeDeviceHeader());
    layout->addWidget(makeEmptyState());

    auto* devices = new QWidget;
    auto* devicesLayout = flushColumn(devices, 10);
    devicesLayout->addWidget(makeSelectionRow());
    auto* list = new QWidget;
    list->setObjectName("deviceList");
    rowsLayout_ = flushColumn(list, 8);
    rowsLayout_->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setObjectName("deviceScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    scroll->setWidget(list);
    devicesLayout->addWidget(scroll, 1);
    layout->addWidget(devices, 1);
    layout->addWidget(makeFooter());
}

QWidget* DockSidebar::makeBrandRow()
{
    auto* text = new QWidget;
    auto* lines = flushColumn(text, 2);
    lines->addWidget(makeSizedLabel(QStringLiteral("RGB STUDIO"), 16, QFont::Bold));
    lines->addWidget(makeLabel(QStringLiteral("KAVRIN · Linux"), TextStyle::caption, TextTone::secondary));
    return row({iconLabel(tintedIcon(StudioIcon::beacon, ember), 24), text}, false);
}

QWidget* DockSidebar::makeDeviceHeader()
{
    deviceCount_ = makeLabel({}, TextStyle::caption, TextTone::secondary, QFont::DemiBold);
    deviceCount_->setObjectName("deviceCount");
    rescan_ = borderlessButton({}, "rescanButton");
    rescan_->setIcon(studioIcon(StudioIcon::rescan));
    rescan_->setToolTip(QStringLiteral("重新扫描 USB 灯光接口"));
    connect(rescan_, &QToolButton::clicked, this, [this] { model_.refresh(false); });
    return row({deviceCount_, rescan_}, true);
}

QWidget* DockSidebar::makeEmptyState()
{
    emptyState_ = new QWidget;
    emptyState_->setObjectName("emptyState");
    auto* layout = new QVBoxLayout(emptyState_);
    layout->setContentsMargins(0, 20, 0, 20);
    layout->setSpacing(12);
    layout->addWidget(iconLabel(tintedIcon(StudioIcon::cable, QColor(235, 235, 245, 153)), 32));
    emptyTitle_ = makeLabel({}, TextStyle::headline, TextTone::primary, QFont::DemiBold);
    emptyTitle_->setObjectName("emptyTitle");
    layout->addWidget(emptyTitle_);
    auto* hint
        = makeLabel(QStringLiteral("接通扩展坞电源，并连接 USB 上行线。"), TextStyle::caption, TextTone::secondary);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return emptyState_;
}

QWidget* DockSidebar::makeSelectionRow()
{
    auto* selectAll = borderlessButton(QStringLiteral("全选同步"), "selectAllButton");
    auto* clear = borderlessButton(QStringLiteral("清空"), "clearButton");
    for (auto* button : {selectAll, clear}) {
        button->setFont(studioFont(TextStyle::caption));
    }
    connect(selectAll, &QToolButton::clicked, this, [this] { model_.selectAllForSync(); });
    connect(clear, &QToolButton::clicked, this, [this] { model_.clearSyncTargets(); });
    syncTargetCount_ = makeLabel({}, TextStyle::caption, TextTone::secondary);
    syncTargetCount_->setObjectName("syncTargetCount");
    selectionRow_ = row({selectAll, clear, syncTargetCount_}, true);
    selectionRow_->setObjectName("syncSelectionRow");
    return selectionRow_;
}

QWidget* DockSidebar::makeFooter()
{
    auto* footer = new QWidget;
    auto* layout = flushColumn(footer, 4);
    auto* cpu = makeLabel(nativeArchitectureText(), TextStyle::caption);
    cpu->setObjectName("cpuLabel");
    layout->addWidget(row({iconLabel(studioIcon(StudioIcon::cpu), 14), cpu}, false));
    auto* version = makeLabel(QStringLiteral("v" KAVRIN_VERSION " · Linux"), TextStyle::caption2, TextTone::secondary);
    version->setObjectName("versionLabel");
    layout->addWidget(version);
    pending_ = makeLabel({}, TextStyle::caption2, TextTone::accent);
    pending_->setObjectName("pendingLabel");
    layout->addWidget(pending_);
    demo_ = makeLabel(QStringLiteral("演示模式 · 无硬件写入"), TextStyle::caption2, TextTone::accent);
    demo_->setObjectName("demoLabel");
    layout->addWidget(demo_);
    return footer;
}

void DockSidebar::refresh()
{
    const auto& devices = model_.devices();
    setTextIfChanged(deviceCount_, QStringLiteral("灯光设备 · %1").arg(devices.size()));
    rescan_->setEnabled(!model_.scanning());
    emptyState_->setVisible(devices.empty());
    setTextIfChanged(emptyTitle_, model_.scanning() ? QStringLiteral("正在查找设备") : QStringLiteral("等待连接"));
    selectionRow_->setEnabled(model_.liveState() == LiveState::idle && !model_.syncBusy() && !model_.quitting());
    setTextIfChanged(syncTargetCount_, QStringLiteral("%1 台").arg(model_.syncTargetIDs().size()));
    syncRows();

    const auto pending = model_.workspace().pendingCount();
    pending_->setVisible(pending >= 1);
    setTextIfChanged(pending_, QStringLiteral("%1 台设备正在操作").arg(pending));
    demo_->setVisible(model_.demo());
}

void DockSidebar::syncRows()
{
    const auto& devices = model_.devices();
    const bool same = std::equal(rows_.begin(), rows_.end(), devices.begin(), devices.end(),
                                 [](const DockRow* row, const RGBDevice& device) { return row->device() == device; });
    if (!same) {
        for (auto* row : rows_) {
            // Later: the refresh may run inside a signal of the row's own button.
            row->hide();
            row->setParent(nullptr);
            row->deleteLater();
        }
        rows_.clear();
        for (const auto& device : devices) {
            auto* row = new DockRow(model_, device);
            rowsLayout_->insertWidget(rowsLayout_->count() - 1, row);
            rows_.push_back(row);
        }
    }
    for (auto* row : rows_) {
        row->refresh();
    }
}

} // namespace kavrin
