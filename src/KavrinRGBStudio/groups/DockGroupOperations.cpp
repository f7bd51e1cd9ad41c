#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>

namespace kavrin::DockGroupOperations {

namespace {

constexpr const char* synchronizedText = "同步配置已应用，并回读确认。";
constexpr const char* rolledBackText = "同步未完成，已还原原设置。";
constexpr const char* unfinishedPrefix = "同步未完成：";
constexpr const char* untouchedText = "这台未作修改。";
constexpr const char* restoreFailedPrefix = "还原失败：";

std::optional<ControllerProfile> profileOf(const RGBDevice& device)
{
    return matchingProfile(device.vendorID, device.productID);
}

std::set<std::uint64_t> idsOf(const std::vector<RGBDevice>& devices)
{
    std::set<std::uint64_t> ids;
    for (const RGBDevice& device : devices) {
        ids.insert(device.id);
    }
    return ids;
}

void refuseUnusableGroup(const std::vector<RGBDevice>& targets)
{
    const bool repeated = idsOf(targets).size() != targets.size();
    const bool unknownModel = std::ranges::any_of(targets, [](const RGBDevice& target) { return !profileOf(target); });
    if (targets.empty() || repeated || unknownModel) {
        throw ProtocolError::invalidSettings();
    }
}

void refuseUnlisted(DockLightingIO& io, const std::vector<RGBDevice>& targets)
{
    const std::vector<RGBDevice> listed = io.list();
    for (const RGBDevice& target : targets) {
        if (std::ranges::find(listed, target) == listed.end()) {
            throw TransportError::disconnected();
        }
    }
}

void refuseUnsuitablePlan(const std::vector<RGBDevice>& targets, const Plan& plan)
{
    std::set<std::uint64_t> planned;
    for (const auto& entry : plan) {
        planned.insert(entry.first);
    }
    if (planned != idsOf(targets)) {
        throw ProtocolError::invalidSettings();
    }
    for (const RGBDevice& target : targets) {
        const auto entry = plan.find(target.id);
        const auto profile = profileOf(target);
        if (entry == plan.end() || !profile) {
            throw TransportError::unsupported();
        }
        validate(*profile, entry->second);
    }
}

std::optional<LightingSettings> readQuietly(DockLightingIO& io, const RGBDevice& device)
{
    try {
        return io.read(device);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

DockOutcome restoreOne(DockLightingIO& io, const RGBDevice& target, const DockSnapshot& before,
                       const std::string& success)
{
    std::string failure;
    try {
        const auto entry = before.find(target);
        if (entry == before.end()) {
            throw ProtocolError::invalidSettings();
        }
        return DockOutcome {target, io.apply(entry->second, target, false), success, false};
    } catch (const std::exception& error) {
        failure = error.what();
    }
    // Ask the dock where it stands now, so the outcome never claims a state nobody confirmed.
    return DockOutcome {target, readQuietly(io, target), restoreFailedPrefix + failure, true};
}

std::vector<DockOutcome> rollBack(DockLightingIO& io, const std::vector<RGBDevice>& targets,
                                  const std::vector<RGBDevice>& touched, const DockSnapshot& snapshot,
                                  const std::string& failure)
{
    const std::vector<DockOutcome> restored = restore(io, touched, snapshot, rolledBackText);
    const std::string prefix = unfinishedPrefix + failure + " ";
    std::vector<DockOutcome> outcomes;
    outcomes.reserve(targets.size());
    for (const RGBDevice& target : targets) {
        const auto match = std::ranges::find(restored, target, &DockOutcome::device);
        if (match != restored.end()) {
            outcomes.push_back(DockOutcome {target, match->actual, prefix + match->message, true});
            continue;
        }
        const auto entry = snapshot.find(target);
        const auto actual = entry == snapshot.end() ? std::nullopt : std::optional(entry->second);
        outcomes.push_back(DockOutcome {target, actual, prefix + untouchedText, true});
    }
    return outcomes;
}

} // namespace

DockSnapshot capture(DockLightingIO& io, const std::vector<RGBDevice>& targets)
{
    refuseUnusableGroup(targets);
    refuseUnlisted(io, targets);
    DockSnapshot snapshot;
    for (const RGBDevice& target : targets) {
        const LightingSettings settings = io.read(target);
        const auto profile = profileOf(target);
        if (!profile) {
            throw TransportError::unsupported();
        }
        // A dock showing a state its model rejects could not be written back later.
        validate(*profile, settings);
        snapshot.emplace(target, settings);
    }
    return snapshot;
}

std::vector<DockOutcome> restore(DockLightingIO& io, const std::vector<RGBDevice>& targets, const DockSnapshot& before,
                                 const std::string& success)
{
    std::vector<DockOutcome> outcomes;
    outcomes.reserve(targets.size());
    for (const RGBDevice& target : targets) {
        outcomes.push_back(restoreOne(io, target, before, success));
    }
    return outcomes;
}

std::vector<DockOutcome> synchronize(DockLightingIO& io, const std::vector<RGBDevice>& targets, const Plan& plan)
{
    refuseUnsuitablePlan(targets, plan);
    const DockSnapshot snapshot = capture(io, targets);

    std::vector<RGBDevice> touched;
    std::vector<DockOutcome> outcomes;
    for (const RGBDevice& target : targets) {
        // Counted as touched before the write, so a dock whose write fails half-way is rolled back too.
        touched.push_back(target);
        try {
            outcomes.push_back(
                DockOutcome {target, io.apply(plan.at(target.id), target, false), synchronizedText, false});
        } catch (const std::exception& error) {
            return rollBack(io, targets, touched, snapshot, error.what());
        }
    }
    return outcomes;
}

} // namespace kavrin::DockGroupOperations
