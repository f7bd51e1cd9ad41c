#pragma once

#include <QFrame>

#include <vector>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace kavrin {

class DockRow;
class StudioModel;

// The fixed-width column on the left: brand, the docks with their sync checkboxes, and the footer.
class DockSidebar : public QFrame {
    Q_OBJECT

public:
    explicit DockSidebar(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    QWidget* makeBrandRow();
    QWidget* makeDeviceHeader();
    QWidget* makeEmptyState();
    QWidget* makeSelectionRow();
    QWidget* makeFooter();
    // Rows are rebuilt only when the scan's list changed, so a refresh keeps hover and focus.
    void syncRows();

    StudioModel& model_;
    QLabel* deviceCount_ = nullptr;
    QToolButton* rescan_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QLabel* emptyTitle_ = nullptr;
    QWidget* selectionRow_ = nullptr;
    QLabel* syncTargetCount_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    std::vector<DockRow*> rows_;
    QLabel* pending_ = nullptr;
    QLabel* demo_ = nullptr;
};

// "原生 " and the architecture this binary was compiled for, upper-cased.
QString nativeArchitectureText();

} // namespace kavrin
