#include "KavrinRGBStudio/model/StudioModel.hpp"

#include "KavrinRGBStudio/model/StudioModelState.hpp"

#include <algorithm>
#include <string>
#include <utility>

namespace kavrin {

namespace {

constexpr double frameInterval = 0.125;
constexpr const char* sleepDelayReason = "实时灯效正在运行，休眠或关机前需先还原扩展坞的灯光设置。";

std::string demoPrefix(bool demo)
{
    return demo ? "演示：" : "";
}

} // namespace

const AnimationSettings& StudioModel::animation() const
{
    return state_->animation;
}

void StudioModel::setAnimation(const AnimationSettings& animation)
{
    const State::Update update(*state_);
    state_->setAnimation(animation);
}

void StudioModel::setTheme(ColorTheme theme)
{
    const State::Update update(*state_);
    AnimationSettings themed = state_->animation;
    const auto palette = colors(theme);
    themed.primary = palette[0];
    themed.secondary = palette[1];
    themed.tertiary = palette[2];
    state_->setAnimation(themed);
}

bool StudioModel::previewPlaying() const
{
    return state_->previewPlaying;
}

void StudioModel::setPreviewPlaying(bool playing)
{
    const State::Update update(*state_);
    state_->setPreviewPlaying(playing);
}

AnimationSettings StudioModel::previewSettings() const
{
    return state_->previewSettings();
}

double StudioModel::previewElapsed() const
{
    return state_->previewClock.elapsed(state_->uptime());
}

LiveState StudioModel::liveState() const
{
    return state_->liveState;
}

const std::string& StudioModel::liveMessage() const
{
    return state_->liveMessage;
}

bool StudioModel::liveError() const
{
    return state_->liveError;
}

const std::set<std::uint64_t>& StudioModel::liveTargetIDs() const
{
    return state_->liveTargetIDs;
}

std::vector<RGBDevice> StudioModel::realTimeTargets() const
{
    return state_->realTimeTargets();
}

void StudioModel::startLive()
{
    const State::Update update(*state_);
    state_->startLive();
}

void StudioModel::stopLive(std::optional<std::string> reason, Callback completion)
{
    const State::Update update(*state_);
    state_->stopLive(reason, std::move(completion));
}

void StudioModel::State::restoreSettings(const std::shared_ptr<StudioSettingsStore>& store)
{
    const StudioSettings saved = store->load();
    animation = saved.animation;
    previewPlaying = saved.previewPlaying;
    previewClock.setRunning(previewPlaying, uptime());
    settingsSaver = std::make_unique<StudioSettingsSaver>(
        [store](const StudioSettings& settings) { store->save(settings); }, timers, saved);
}

void StudioModel::State::setAnimation(const AnimationSettings& settings)
{
    // Views write back what they show; an unchanged value is no change.
    if (settings == animation) {
        return;
    }
    animation = settings;
    touch();
    if (!liveRun) {
        return;
    }
    try {
        // The next frame uses it, on the same clock.
        liveRun->update(settings);
    } catch (const std::exception& error) {
        liveMessage = error.what();
        liveError = true;
    }
}

void StudioModel::State::setPreviewPlaying(bool playing)
{
    if (playing != previewPlaying) {
        previewPlaying = playing;
        previewClock.setRunning(playing, uptime());
        touch();
    }
}

AnimationSettings StudioModel::State::previewSettings() const
{
    if (mode == StudioMode::software) {
        return animation;
    }
    const auto device = selected();
    return AnimationSettings::preview(settings(),
                                      device ? profileOrLegacy(*device) : ControllerProfile::forgeCubeLegacy);
}

std::vector<RGBDevice> StudioModel::State::realTimeTargets() const
{
    if (liveState != LiveState::idle) {
        return capturedLiveTargets;
    }
    std::vector<RGBDevice> targets = syncTargets();
    if (targets.empty()) {
        if (const auto device = selected()) {
            targets.push_back(*device);
        }
    }
    return targets;
}

void StudioModel::State::startLive()
{
    const std::vector<RGBDevice> targets = realTimeTargets();
    if (liveState != LiveState::idle || syncBusy || quitting || targets.empty() || !targetsIdle(targets)) {
        return;
    }
    touch();
    try {
        animation.validated();
    } catch (const std::exception& error) {
        liveMessage = error.what();
        liveError = true;
        return;
    }
    const std::uint64_t generation = ++liveGeneration;
    capturedLiveTargets = targets;
    liveState = LiveState::starting;
    stopRequested = false;
    mode = StudioMode::software;
    liveTargetIDs.clear();
    liveTokens.clear();
    for (const RGBDevice& target : targets) {
        liveTargetIDs.insert(target.id);
        // Busy until the stop, so the targets cannot be edited, read or applied one by one meanwhile.
        if (const auto token = workspace.begin(target.id, "正在准备软件实时灯效…")) {
            liveTokens.emplace(target.id, *token);
        }
    }
    liveError = false;
    liveMessage = "正在读取并备份 " + std::to_string(targets.size()) + " 台设备的当前设置…";
    // Held until the restore has finished, so that sleep and power-off wait for it.
    sleepDelay = power ? power->delaySleep(sleepDelayReason) : nullptr;
    background([io = io, targets, settings = animation,
                clock = uptime] { return std::make_shared<LiveLightingRun>(io, targets, settings, clock); },
               [generation](State& state, const Attempt<std::shared_ptr<LiveLightingRun>>& start) {
                   state.startCompleted(start, generation);
               });
}

void StudioModel::State::startCompleted(const Attempt<std::shared_ptr<LiveLightingRun>>& start,
                                        std::uint64_t generation)
{
    if (generation != liveGeneration) {
        return;
    }
    touch();
    if (!start.value) {
        endLiveWithError(liveTokens, start.error);
        return;
    }
    liveRun = *start.value;
    try {
        // The animation may have been edited while the docks were being prepared.
        liveRun->update(animation);
    } catch (const std::exception&) {
        // Invalid edits were already reported; the run keeps the settings it started with.
    }
    // The preview now shows exactly the phase that the docks show.
    previewClock = PreviewClock(liveRun->startedAt());
    previewPlaying = true;
    if (stopRequested) {
        stopLive(std::nullopt, nullptr);
        return;
    }
    beginRunning();
}

void StudioModel::State::beginRunning()
{
    liveState = LiveState::running;
    liveMessage = demoPrefix(demo) + std::to_string(capturedLiveTargets.size())
        + " 台使用同一时钟实时输出；修改配色、亮度和速度即时生效。";
    // Ticks arrive on the main thread and stop when the timer is dropped, before the state goes.
    liveTimer = timers->startRepeating(frameInterval, [this] {
        const Update update(*this);
        tickLive();
    });
    tickLive();
}

void StudioModel::State::tickLive()
{
    // A tick that finds a frame in flight is dropped, so a slow dock lowers the rate without a backlog.
    if (liveState != LiveState::running || frameInFlight || !liveRun) {
        return;
    }
    frameInFlight = true;
    background(
        [run = liveRun, clock = uptime] {
            run->render(clock());
            return true;
        },
        [generation = liveGeneration](State& state, const Attempt<bool>& frame) {
            state.frameCompleted(frame, generation);
        });
}

void StudioModel::State::frameCompleted(const Attempt<bool>& frame, std::uint64_t generation)
{
    if (generation != liveGeneration) {
        return;
    }
    frameInFlight = false;
    if (!frame.value && liveState == LiveState::running) {
        stopLive("实时输出失败：" + frame.error, nullptr);
    }
}

void StudioModel::State::stopLive(const std::optional<std::string>& reason, Callback completion)
{
    if (completion) {
        stopCompletions.push_back(std::move(completion));
    }
    if (liveState == LiveState::idle) {
        completeStopWaiters();
        return;
    }
    stopRequested = true;
    liveTimer.reset();
    if (reason) {
        liveMessage = *reason;
        liveError = true;
        touch();
    }
    // While stopping, the stop under way releases the waiter; while starting, the start completion
    // stops the run as soon as it exists.
    if (liveState == LiveState::stopping || !liveRun) {
        return;
    }
    liveRun->cancel();
    liveState = LiveState::stopping;
    touch();
    if (!reason && !liveError) {
        liveMessage = "正在停止并逐台还原启动前设置…";
    }
    background([run = liveRun] { return run->stop(); },
               [tokens = liveTokens](State& state, const Attempt<std::vector<DockOutcome>>& restore) {
                   state.stopCompleted(restore, tokens);
               });
}

void StudioModel::State::stopCompleted(const Attempt<std::vector<DockOutcome>>& restore, const DockTokens& tokens)
{
    touch();
    if (!restore.value) {
        // The restore itself never fails; this only keeps the sessions from staying busy for good.
        endLiveWithError(tokens, restore.error);
        return;
    }
    const std::vector<DockOutcome>& outcomes = *restore.value;
    finishGroup(outcomes, tokens);
    std::string failed;
    for (const DockOutcome& outcome : outcomes) {
        if (outcome.isError) {
            failed += (failed.empty() ? "" : "、") + dockLabel(outcome.device);
        }
    }
    if (!failed.empty()) {
        liveError = true;
        liveMessage = "已停止；以下设备还原失败：" + failed;
    } else if (liveError) {
        // The message still holds the reason of the stop.
        liveMessage += " 已还原可连接设备。";
    } else {
        liveMessage = demoPrefix(demo) + "已停止，" + std::to_string(outcomes.size()) + " 台已还原启动前设置。";
    }
    finishLiveStop();
}

void StudioModel::State::endLiveWithError(const DockTokens& tokens, const std::string& message)
{
    failTokens(tokens, message);
    liveError = true;
    liveMessage = message;
    finishLiveStop();
}

void StudioModel::State::finishLiveStop()
{
    liveState = LiveState::idle;
    liveRun.reset();
    liveTargetIDs.clear();
    capturedLiveTargets.clear();
    liveTokens.clear();
    frameInFlight = false;
    sleepDelay.reset();
    touch();
    completeStopWaiters();
    drainQuitIfIdle();
}

void StudioModel::State::completeStopWaiters()
{
    for (const Callback& completion : std::exchange(stopCompletions, {})) {
        completion();
    }
}

void StudioModel::State::cancelLiveForTeardown()
{
    liveTimer.reset();
    if (liveRun) {
        liveRun->cancel();
    }
}

} // namespace kavrin
