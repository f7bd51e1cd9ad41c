#include "KavrinRGBStudio/model/StudioModel.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/model/StudioModelState.hpp"
#include "RGBProtocol/workspace/NativeSynchronization.hpp"

#include <algorithm>
#include <string>
#include <utility>

namespace kavrin {

const std::set<std::uint64_t>& StudioModel::syncTargetIDs() const
{
    return state_->syncTargetIDs;
}

std::vector<RGBDevice> StudioModel::syncTargets() const
{
    return state_->syncTargets();
}

LightingEffect StudioModel::syncEffect() const
{
    return state_->syncEffect;
}

void StudioModel::setSyncEffect(LightingEffect effect)
{
    const State::Update update(*state_);
    state_->assign(state_->syncEffect, effect);
}

std::vector<LightingEffect> StudioModel::commonSyncEffects() const
{
    return state_->commonSyncEffects();
}

bool StudioModel::syncBusy() const
{
    return state_->syncBusy;
}

const std::string& StudioModel::syncMessage() const
{
    return state_->syncMessage;
}

bool StudioModel::syncError() const
{
    return state_->syncError;
}

bool StudioModel::canSynchronize() const
{
    return state_->canSynchronize();
}

void StudioModel::toggleSyncTarget(std::uint64_t id)
{
    const State::Update update(*state_);
    State& state = *state_;
    if (std::ranges::none_of(state.devices, [&](const RGBDevice& device) { return device.id == id; })) {
        return;
    }
    std::set<std::uint64_t> ids = state.syncTargetIDs;
    if (!ids.erase(id)) {
        ids.insert(id);
    }
    state.setSyncTargets(std::move(ids));
}

void StudioModel::selectAllForSync()
{
    const State::Update update(*state_);
    std::set<std::uint64_t> ids;
    for (const RGBDevice& device : state_->devices) {
        ids.insert(device.id);
    }
    state_->setSyncTargets(std::move(ids));
}

void StudioModel::clearSyncTargets()
{
    const State::Update update(*state_);
    state_->setSyncTargets({});
}

void StudioModel::synchronize()
{
    const State::Update update(*state_);
    state_->synchronize();
}

bool StudioModel::State::targetsIdle(const std::vector<RGBDevice>& targets) const
{
    return std::ranges::all_of(targets, [&](const RGBDevice& target) {
        const auto found = workspace.sessions().find(target.id);
        return found != workspace.sessions().end() && !found->second.busy();
    });
}

bool StudioModel::State::targetsFrozen() const
{
    return liveState != LiveState::idle || syncBusy || quitting;
}

void StudioModel::State::setSyncTargets(std::set<std::uint64_t> ids)
{
    if (targetsFrozen()) {
        return;
    }
    syncTargetIDs = std::move(ids);
    reconcileSyncEffect();
}

void StudioModel::State::reconcileSyncEffect()
{
    const std::vector<LightingEffect> offered = commonSyncEffects();
    if (std::ranges::find(offered, syncEffect) == offered.end()) {
        syncEffect = offered.empty() ? LightingEffect::solid : offered.front();
    }
    // Counts the ticked IDs, including any the last scan no longer lists.
    syncMessage = "已勾选 " + std::to_string(syncTargetIDs.size()) + " 台；同步采用当前颜色、亮度和相对速度。";
    syncError = false;
    touch();
}

std::vector<RGBDevice> StudioModel::State::syncTargets() const
{
    std::vector<RGBDevice> targets;
    std::ranges::copy_if(devices, std::back_inserter(targets),
                         [&](const RGBDevice& device) { return syncTargetIDs.contains(device.id); });
    return targets;
}

std::vector<LightingEffect> StudioModel::State::commonSyncEffects() const
{
    std::vector<ControllerProfile> profiles;
    for (const RGBDevice& target : syncTargets()) {
        if (const auto profile = matchingProfile(target.vendorID, target.productID)) {
            profiles.push_back(*profile);
        }
    }
    return profiles.empty() ? std::vector<LightingEffect> {} : NativeSynchronization::commonEffects(profiles);
}

bool StudioModel::State::canSynchronize() const
{
    const std::vector<RGBDevice> targets = syncTargets();
    if (targets.size() < 2 || targetsFrozen() || !selected() || !targetsIdle(targets)) {
        return false;
    }
    try {
        LightColor::fromHex(hexText());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void StudioModel::State::synchronize()
{
    const std::vector<RGBDevice> targets = syncTargets();
    if (targetsFrozen() || targets.size() < 2 || !selected() || !targetsIdle(targets)) {
        return;
    }
    DockGroupOperations::Plan plan;
    try {
        plan = syncPlan(targets);
    } catch (const std::exception& error) {
        syncMessage = error.what();
        syncError = true;
        touch();
        return;
    }
    DockTokens tokens;
    for (const RGBDevice& target : targets) {
        if (const auto token = workspace.begin(target.id, "正在同步配置…")) {
            tokens.emplace(target.id, *token);
        }
    }
    syncBusy = true;
    syncMessage = "正在同步到 " + std::to_string(targets.size()) + " 台设备并回读…";
    syncError = false;
    touch();
    background([io = io, targets, plan] { return DockGroupOperations::synchronize(*io, targets, plan); },
               [count = targets.size(), tokens](State& state, const Attempt<std::vector<DockOutcome>>& result) {
                   state.syncCompleted(result, count, tokens);
               });
}

DockGroupOperations::Plan StudioModel::State::syncPlan(const std::vector<RGBDevice>& targets) const
{
    LightingSettings source = settings();
    source.color = LightColor::fromHex(hexText());
    std::vector<SyncMember> members;
    for (const RGBDevice& target : targets) {
        const auto profile = matchingProfile(target.vendorID, target.productID);
        if (!profile) {
            throw TransportError::unsupported();
        }
        members.push_back(SyncMember {target.id, *profile});
    }
    return NativeSynchronization::plan(source, profileOrLegacy(*selected()), syncEffect, members);
}

void StudioModel::State::syncCompleted(const Attempt<std::vector<DockOutcome>>& result, std::size_t targetCount,
                                       const DockTokens& tokens)
{
    syncBusy = false;
    touch();
    if (!result.value) {
        failTokens(tokens, result.error);
        syncMessage = result.error;
        syncError = true;
    } else {
        finishGroup(*result.value, tokens);
        syncError = std::ranges::any_of(*result.value, &DockOutcome::isError);
        syncMessage = syncError
            ? "同步未完成，已逐台尝试还原；查看各设备状态。"
            : std::string(demo ? "演示：" : "") + std::to_string(targetCount) + " 台已同步配置并回读确认。";
    }
    drainQuitIfIdle();
}

void StudioModel::State::finishGroup(const std::vector<DockOutcome>& outcomes, const DockTokens& tokens)
{
    for (const DockOutcome& outcome : outcomes) {
        const auto token = tokens.find(outcome.device.id);
        if (token != tokens.end()) {
            workspace.finish(outcome.device.id, token->second, outcome.actual, outcome.message, outcome.isError);
        }
    }
    touch();
}

void StudioModel::State::failTokens(const DockTokens& tokens, const std::string& message)
{
    for (const auto& [id, token] : tokens) {
        workspace.finish(id, token, std::nullopt, message, true);
    }
    touch();
}

} // namespace kavrin
