#pragma once

#include "RGBProtocol/animation/AnimationModel.hpp"

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace kavrin {

class ColorWell;
class SliderRow;
class StudioModel;

// The software lighting editor: style, theme, colours, brightness and speed, and the live output.
class SoftwareEffectsPanel : public QWidget {
    Q_OBJECT

public:
    explicit SoftwareEffectsPanel(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    // One colour well with its hex text, bound to one colour field of the animation.
    struct Palette {
        QWidget* column;
        ColorWell* well;
        QLabel* hex;
        LightColor AnimationSettings::*field;
    };

    QWidget* makeStyleGrid();
    QWidget* makeThemeRow();
    QWidget* makeColorRow();
    QWidget* makeLiveBox();
    Palette makePalette(const QString& title, const char* name, LightColor AnimationSettings::*field);
    void refreshStyles();
    void refreshLive();
    void editAnimation(const std::function<void(AnimationSettings&)>& change);

    StudioModel& model_;
    QWidget* editing_ = nullptr;
    std::vector<QPushButton*> styleButtons_;
    QWidget* themeRow_ = nullptr;
    QLabel* rainbowHint_ = nullptr;
    std::array<Palette, 3> palettes_ {};
    SliderRow* brightness_ = nullptr;
    SliderRow* speed_ = nullptr;
    QPushButton* liveButton_ = nullptr;
    QLabel* targets_ = nullptr;
    QLabel* liveMessage_ = nullptr;
};

// The live button's label while idle, by the number of real-time targets.
QString startLiveText(std::size_t targetCount);

} // namespace kavrin
