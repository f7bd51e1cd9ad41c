#include "KavrinRGBStudio/views/DockLightPreview.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/views/ColorWell.hpp"
#include "KavrinRGBStudio/views/DockSilhouette.hpp"
#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"
#include "KavrinRGBStudio/views/TintedShape.hpp"
#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace kavrin {

namespace {

constexpr qreal segmentSpacing = 4;

QWidget* placeholder(const char* name, QSize size)
{
    auto* widget = new QWidget;
    widget->setObjectName(name);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFixedHeight(size.height());
    if (size.width() > 0) {
        widget->setFixedWidth(size.width());
    }
    return widget;
}

} // namespace

PreviewFrame previewFrame(const AnimationSettings& settings, double elapsed)
{
    PreviewFrame frame {AnimationRenderer::color(settings, elapsed, 0.5), {}};
    const auto last = double(frame.strip.size() - 1);
    for (std::size_t index = 0; index < frame.strip.size(); ++index) {
        frame.strip[index] = AnimationRenderer::color(settings, elapsed, double(index) / last);
    }
    return frame;
}

DockLightPreview::DockLightPreview(StudioModel& model, QWidget* parent)
    : QFrame(parent)
    , model_(model)
{
    setObjectName("dockLightPreview");
    setProperty("card", "preview");
    timer_.setObjectName("previewTimer");
    timer_.setParent(this);
    timer_.setInterval(frameIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        const PreviewFrame frame = previewFrame(model_.previewSettings(), model_.previewElapsed());
        if (frame == scheduledFrame_) {
            return;
        }
        scheduledFrame_ = frame;
        update(areaOf(silhouetteArea_).toAlignedRect());
        update(areaOf(segmentArea_).toAlignedRect());
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(18);
    layout->addLayout(makeHeader());
    layout->addLayout(makeBody());
}

QLayout* DockLightPreview::makeHeader()
{
    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(iconLabel(studioIcon(StudioIcon::preview), 16));
    header->addWidget(
        makeLabel(QStringLiteral("动态灯光预览"), TextStyle::subheadline, TextTone::primary, QFont::DemiBold));
    header->addStretch();

    playButton_ = new QToolButton;
    playButton_->setObjectName("previewPlayButton");
    playButton_->setProperty("borderless", true);
    playButton_->setToolTip(QStringLiteral("暂停或继续界面动画"));
    connect(playButton_, &QToolButton::clicked, this, [this] { model_.setPreviewPlaying(!model_.previewPlaying()); });
    header->addWidget(playButton_);

    lampSwitch_ = new QCheckBox(QStringLiteral("灯光"));
    lampSwitch_->setObjectName("lampSwitch");
    connect(lampSwitch_, &QCheckBox::clicked, this, [this](bool on) {
        LightingSettings settings = model_.settings();
        settings.isOn = on;
        model_.setSettings(settings);
    });
    header->addWidget(lampSwitch_);
    return header;
}

QLayout* DockLightPreview::makeBody()
{
    auto* body = new QHBoxLayout;
    body->setSpacing(24);
    silhouetteArea_ = placeholder("silhouetteArea", QSize(170, 110));
    body->addWidget(silhouetteArea_, 0, Qt::AlignVCenter);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    title_ = makeLabel({}, TextStyle::title3, TextTone::primary, QFont::DemiBold);
    title_->setObjectName("previewTitle");
    caption_ = makeLabel({}, TextStyle::caption, TextTone::secondary);
    caption_->setObjectName("previewCaption");
    segmentArea_ = placeholder("segmentArea", QSize(0, 12));
    segmentArea_->setMaximumWidth(290);
    note_ = makeLabel({}, TextStyle::caption2, TextTone::tertiary);
    note_->setObjectName("previewNote");
    note_->setWordWrap(true);
    column->addWidget(title_);
    column->addWidget(caption_);
    column->addWidget(segmentArea_);
    column->addWidget(note_);
    body->addLayout(column, 1);
    body->setAlignment(column, Qt::AlignVCenter);
    return body;
}

void DockLightPreview::refresh()
{
    const bool software = model_.mode() == StudioMode::software;
    const LightingSettings settings = model_.settings();
    const auto session = model_.workspace().selectedSession();

    playButton_->setEnabled(model_.liveState() == LiveState::idle);
    const bool playing = model_.previewPlaying();
    if (playButton_->property("playing") != QVariant(playing)) {
        playButton_->setProperty("playing", playing);
        playButton_->setIcon(studioIcon(playing ? StudioIcon::pause : StudioIcon::play));
    }
    lampSwitch_->setVisible(!software);
    lampSwitch_->setChecked(settings.isOn);
    lampSwitch_->setEnabled(model_.selected() && session && !session->busy());

    if (software) {
        setTextIfChanged(title_, qtText(title(model_.animation().style)));
        setTextIfChanged(caption_, QStringLiteral("12 种软件样式 · 同时钟同步"));
        setTextIfChanged(note_, QStringLiteral("实体扩展坞输出整灯颜色与明暗；灯珠流动为预览示意。"));
    } else {
        setTextIfChanged(title_, settings.isOn ? qtText(title(settings.effect)) : QStringLiteral("灯光关闭"));
        setTextIfChanged(caption_,
                         !session || session->edited() ? QStringLiteral("编辑预览 · 尚未应用")
                                                       : QStringLiteral("当前参数的动画示意"));
        setTextIfChanged(note_, QStringLiteral("效果示意，并非设备画面的实时采集。"));
    }
    syncTimer();
    update();
}

void DockLightPreview::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    const PreviewFrame frame = previewFrame(model_.previewSettings(), model_.previewElapsed());
    QPainter painter(this);
    DockSilhouette(profileOrDefault(model_.selected()), frame.strip, frame.glow)
        .paint(painter, areaOf(silhouetteArea_));
    paintSegments(painter, areaOf(segmentArea_), frame.strip);
}

void DockLightPreview::paintSegments(QPainter& painter, const QRectF& area, std::span<const LightColor> strip) const
{
    const qreal width = (area.width() - segmentSpacing * qreal(strip.size() - 1)) / qreal(strip.size());
    paintBands(
        painter, area, QStringLiteral("segments"),
        [&](QPainter& segments) {
            segments.setPen(Qt::NoPen);
            segments.setBrush(Qt::white);
            for (std::size_t index = 0; index < strip.size(); ++index) {
                const qreal left = area.left() + (width + segmentSpacing) * qreal(index);
                segments.drawRoundedRect(QRectF(left, area.top(), width, area.height()), 2, 2);
            }
        },
        strip);
}

QRectF DockLightPreview::areaOf(const QWidget* placeholder) const
{
    return QRectF(placeholder->mapTo(this, QPoint(0, 0)), placeholder->size());
}

void DockLightPreview::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (window() != watchedWindow_) {
        if (watchedWindow_) {
            watchedWindow_->removeEventFilter(this);
        }
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    syncTimer();
}

void DockLightPreview::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    timer_.stop();
}

bool DockLightPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange) {
        syncTimer();
    }
    return QFrame::eventFilter(watched, event);
}

void DockLightPreview::syncTimer()
{
    const bool animate = model_.previewPlaying() && isVisible() && !window()->isMinimized();
    if (animate && !timer_.isActive()) {
        timer_.start();
    } else if (!animate) {
        timer_.stop();
    }
}

} // namespace kavrin
