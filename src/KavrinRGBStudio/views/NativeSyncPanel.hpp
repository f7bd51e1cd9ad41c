#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QPushButton;

namespace kavrin {

class StudioModel;

// Writes one common hardware configuration to the docks ticked in the sidebar.
class NativeSyncPanel : public QFrame {
    Q_OBJECT

public:
    explicit NativeSyncPanel(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    void refreshEffects();

    StudioModel& model_;
    QLabel* count_;
    QComboBox* effect_;
    QPushButton* button_;
    QLabel* message_;
};

} // namespace kavrin
