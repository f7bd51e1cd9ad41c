#include "KavrinRGBStudio/views/StudioWindow.hpp"

namespace kavrin {

StudioWindow::StudioWindow(StudioModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
{
    setObjectName("studioWindow");
    setWindowTitle("KAVRIN RGB Studio");
    setMinimumSize(980, 720);
    resize(1060, 840);
}

} // namespace kavrin
