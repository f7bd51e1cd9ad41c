#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"

#include "KavrinRGBStudio/groups/GroupLightingError.hpp"
#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace kavrin {

namespace {

// One colour for the whole group, taken at the middle of the lamp.
constexpr double lampMiddle = 0.5;

std::string preparationFailure(const std::string& failure, const std::vector<DockOutcome>& rollback)
{
    std::string lines;
    for (const DockOutcome& outcome : rollback) {
        if (!outcome.isError) {
            continue;
        }
        if (!lines.empty()) {
            lines += "；";
        }
        lines += dockLabel(outcome.device) + "：" + outcome.message;
    }
    return "实时灯效启动失败：" + failure + "。" + (lines.empty() ? std::string("已还原已操作设备。") : lines);
}

} // namespace

double LiveLightingRun::uptime()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

LiveLightingRun::LiveLightingRun(std::shared_ptr<DockLightingIO> io, std::vector<RGBDevice> targets,
                                 const AnimationSettings& settings, const Clock& clock)
    : targets_(std::move(targets))
    , io_(std::move(io))
    , settings_(settings.validated())
    , before_(DockGroupOperations::capture(*io_, targets_))
    , startedAt_(prepareDocks(clock))
{
}

double LiveLightingRun::prepareDocks(const Clock& clock)
{
    const LightingSettings steady {true, LightingEffect::solid, 100, 1,
                                   AnimationRenderer::color(settings_, 0, lampMiddle)};
    std::vector<RGBDevice> touched;
    touched.reserve(targets_.size());
    // Once the first dock may have been written, every failure rolls back, whatever step it came from.
    try {
        for (const RGBDevice& target : targets_) {
            touched.push_back(target);
            io_->apply(steady, target, false);
        }
        // The animation begins when the docks are ready, not when the run was requested.
        return clock();
    } catch (const std::exception& error) {
        const auto rollback = DockGroupOperations::restore(*io_, touched, before_, "已还原");
        throw GroupLightingError(preparationFailure(error.what(), rollback));
    }
}

std::optional<AnimationSettings> LiveLightingRun::frameSettings()
{
    const std::lock_guard guard(lock_);
    if (cancelled_) {
        return std::nullopt;
    }
    return settings_;
}

std::optional<LightColor> LiveLightingRun::render(double now)
{
    const auto settings = frameSettings();
    if (!settings) {
        return std::nullopt;
    }
    const double elapsed = now - startedAt_;
    // Negated so that NaN also starts the animation from its beginning.
    const LightColor color = AnimationRenderer::color(*settings, !(elapsed >= 0) ? 0 : elapsed, lampMiddle);
    DockColors colors;
    for (const RGBDevice& target : targets_) {
        colors.emplace(target, color);
    }
    io_->writeColors(colors);
    return color;
}

void LiveLightingRun::update(const AnimationSettings& settings)
{
    const AnimationSettings checked = settings.validated();
    const std::lock_guard guard(lock_);
    settings_ = checked;
}

void LiveLightingRun::cancel()
{
    const std::lock_guard guard(lock_);
    cancelled_ = true;
}

std::vector<DockOutcome> LiveLightingRun::stop()
{
    cancel();
    const std::lock_guard guard(stopLock_);
    if (!restored_) {
        restored_ = DockGroupOperations::restore(*io_, targets_, before_, "实时灯效已停止，已还原启动前设置。");
    }
    return *restored_;
}

} // namespace kavrin
