#include "KavrinRGBStudio/views/StudioWindow.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/DockLightPreview.hpp"
#include "KavrinRGBStudio/views/DockSidebar.hpp"
#include "KavrinRGBStudio/views/HardwareEditor.hpp"
#include "KavrinRGBStudio/views/PanelParts.hpp"
#include "KavrinRGBStudio/views/SoftwareEffectsPanel.hpp"
#include "KavrinRGBStudio/views/StudioHeader.hpp"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kavrin {

StudioWindow::StudioWindow(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName("studioWindow");
    setWindowTitle("KAVRIN RGB Studio");
    setMinimumSize(980, 720);
    resize(1060, 840);
    setAttribute(Qt::WA_StyledBackground);

    auto* layout = flushRow(this, 0);
    sidebar_ = new DockSidebar(model);
    layout->addWidget(sidebar_);
    auto* divider = new QFrame;
    divider->setObjectName("sidebarDivider");
    divider->setFixedWidth(1);
    layout->addWidget(divider);
    layout->addWidget(makeEditor(), 1);

    model_.setChangeHandler([this] { refresh(); });
    refresh();
}

StudioWindow::~StudioWindow()
{
    model_.setChangeHandler(nullptr);
}

QWidget* StudioWindow::makeEditor()
{
    auto* editor = new QWidget;
    editor->setObjectName("editor");
    auto* column = new QVBoxLayout(editor);
    column->setContentsMargins(30, 30, 30, 30);
    column->setSpacing(22);
    header_ = new StudioHeader(model_);
    modeSwitch_ = new ModeSwitch(model_);
    preview_ = new DockLightPreview(model_);
    hardware_ = new HardwareEditor(model_);
    software_ = new SoftwareEffectsPanel(model_);
    for (QWidget* part :
         {static_cast<QWidget*>(header_), static_cast<QWidget*>(modeSwitch_), static_cast<QWidget*>(preview_),
          static_cast<QWidget*>(hardware_), static_cast<QWidget*>(software_)}) {
        column->addWidget(part);
    }
    column->addStretch();

    auto* scroll = new QScrollArea;
    scroll->setObjectName("editorScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(editor);
    return scroll;
}

void StudioWindow::refresh()
{
    const bool hardware = model_.mode() == StudioMode::hardware;
    sidebar_->refresh();
    header_->refresh();
    modeSwitch_->refresh();
    preview_->refresh();
    hardware_->setVisible(hardware);
    software_->setVisible(!hardware);
    if (hardware) {
        hardware_->refresh();
    } else {
        software_->refresh();
    }
}

} // namespace kavrin
