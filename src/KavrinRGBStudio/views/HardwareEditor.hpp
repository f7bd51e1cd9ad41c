#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kavrin {

class BusySpinner;
class ColorWell;
class NativeSyncPanel;
class SliderRow;
class StudioModel;

// The hardware editor of the selected dock: effect, colour, brightness and speed, the read and apply
// actions, the synchronisation panel and the dock's status box.
class HardwareEditor : public QWidget {
    Q_OBJECT

public:
    explicit HardwareEditor(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    QWidget* makeControls();
    QWidget* makeEffectRow();
    QWidget* makeColorRow();
    QWidget* makeActions();
    QWidget* makeStatus();
    void refreshControls();
    void refreshStatus();
    void editSettings(const std::function<void(LightingSettings&)>& change);
    void editHexText(const QString& text);

    StudioModel& model_;
    QWidget* controls_ = nullptr;
    QComboBox* effect_ = nullptr;
    QWidget* colorRow_ = nullptr;
    ColorWell* well_ = nullptr;
    QLineEdit* hexField_ = nullptr;
    QLabel* hexHint_ = nullptr;
    SliderRow* brightness_ = nullptr;
    SliderRow* speed_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* applySave_ = nullptr;
    NativeSyncPanel* syncPanel_ = nullptr;
    BusySpinner* spinner_ = nullptr;
    QLabel* statusIcon_ = nullptr;
    QLabel* statusText_ = nullptr;
};

} // namespace kavrin
