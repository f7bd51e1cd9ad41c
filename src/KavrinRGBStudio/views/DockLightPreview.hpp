#pragma once

#include <QFrame>
#include <QPointer>
#include <QTimer>

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <optional>
#include <span>

class QCheckBox;
class QLabel;
class QToolButton;

namespace kavrin {

class StudioModel;
struct AnimationSettings;

// One frame of the preview: the halo and logo colour, and the lamp's segments from end to end.
struct PreviewFrame {
    LightColor glow;
    std::array<LightColor, 20> strip;

    friend bool operator==(const PreviewFrame&, const PreviewFrame&) = default;
};
PreviewFrame previewFrame(const AnimationSettings& settings, double elapsed);

// The animated lamp card: the dock silhouette and a row of 20 segments coloured by the renderer at
// the model's preview time, with the play/pause button and, in hardware mode, the lamp switch.
class DockLightPreview : public QFrame {
    Q_OBJECT

public:
    explicit DockLightPreview(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

    // The fastest redraw: 30 frames a second.
    static constexpr int frameIntervalMs = 34;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* makeHeader();
    QLayout* makeBody();
    // Animates only while playing, shown and not minimised.
    void syncTimer();
    void paintSegments(QPainter& painter, const QRectF& area, std::span<const LightColor> strip) const;
    QRectF areaOf(const QWidget* placeholder) const;

    StudioModel& model_;
    QTimer timer_;
    QToolButton* playButton_ = nullptr;
    QCheckBox* lampSwitch_ = nullptr;
    QWidget* silhouetteArea_ = nullptr;
    QWidget* segmentArea_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* note_ = nullptr;
    QPointer<QWidget> watchedWindow_;
    // What the timer last asked to be drawn: a still animation (a solid lamp, a lamp switched off)
    // then costs no repaint at all.
    std::optional<PreviewFrame> scheduledFrame_;
};

} // namespace kavrin
