#pragma once

#include "KavrinRGBStudio/device/RGBDevice.hpp"

#include <QFrame>

class QCheckBox;
class QLabel;

namespace kavrin {

class StudioModel;

// One dock in the sidebar: its sync checkbox and the button that selects it.
class DockRow : public QFrame {
    Q_OBJECT

public:
    DockRow(StudioModel& model, const RGBDevice& device, QWidget* parent = nullptr);
    const RGBDevice& device() const { return device_; }
    void refresh();

private:
    QWidget* makeSelectButton();

    StudioModel& model_;
    RGBDevice device_;
    QCheckBox* syncCheck_;
    QLabel* checkmark_ = nullptr;
    QLabel* status_ = nullptr;
};

// The status word under a dock in the sidebar, and whether it is shown in red.
struct DockStatusWord {
    QString text;
    bool isError = false;
    bool live = false;
};
DockStatusWord dockStatusWord(const StudioModel& model, std::uint64_t id);

} // namespace kavrin
