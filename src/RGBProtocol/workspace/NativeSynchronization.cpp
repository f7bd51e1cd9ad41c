#include "RGBProtocol/workspace/NativeSynchronization.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>
#include <cmath>
#include <set>

namespace kavrin::NativeSynchronization {

namespace {

double speedSpan(ControllerProfile profile)
{
    const SpeedRange range = speedRange(profile);
    return static_cast<double>(range.upperBound - range.lowerBound);
}

// Where the speed sits within its model's range, from 0 at the slowest step to 1 at the fastest.
double relativeSpeed(std::int64_t speed, ControllerProfile profile)
{
    return static_cast<double>(speed - speedRange(profile).lowerBound) / speedSpan(profile);
}

std::int64_t speedAt(double position, ControllerProfile profile)
{
    // std::llround takes halves away from zero.
    return static_cast<std::int64_t>(std::llround(position * speedSpan(profile))) + speedRange(profile).lowerBound;
}

bool hasRepeatedID(std::span<const SyncMember> members)
{
    std::set<std::uint64_t> seen;
    return std::ranges::any_of(members, [&](const SyncMember& member) { return !seen.insert(member.id).second; });
}

bool offeredByAll(LightingEffect effect, std::span<const SyncMember> members)
{
    return std::ranges::all_of(members, [&](const SyncMember& member) { return supports(member.profile, effect); });
}

// The older model resolves level-based brightness only in steps of ten, so a group that holds one
// shows the same step everywhere only when the brightness is rounded to tens for all.
std::int64_t alignedBrightness(std::int64_t brightness, LightingEffect effect, std::span<const SyncMember> members)
{
    const bool hasForgeCube = std::ranges::any_of(
        members, [](const SyncMember& member) { return member.profile == ControllerProfile::forgeCubeLegacy; });
    return hasForgeCube && !rawBrightness(effect) ? roundedToTens(brightness) : brightness;
}

} // namespace

std::vector<LightingEffect> commonEffects(std::span<const ControllerProfile> profiles)
{
    if (profiles.empty()) {
        return {};
    }
    std::vector<LightingEffect> common;
    for (const LightingEffect effect : effects(profiles.front())) {
        if (std::ranges::all_of(profiles, [&](ControllerProfile profile) { return supports(profile, effect); })) {
            common.push_back(effect);
        }
    }
    return common;
}

std::map<std::uint64_t, LightingSettings> plan(const LightingSettings& source, ControllerProfile sourceProfile,
                                               LightingEffect effect, std::span<const SyncMember> members)
{
    validate(sourceProfile, source);
    if (members.empty() || hasRepeatedID(members) || !offeredByAll(effect, members)) {
        throw ProtocolError::invalidSettings();
    }
    // Taken from the source speed even when the effect ignores speed.
    const double position = relativeSpeed(source.speed, sourceProfile);
    const std::int64_t brightness = alignedBrightness(source.brightness, effect, members);
    std::map<std::uint64_t, LightingSettings> settingsByID;
    for (const SyncMember& member : members) {
        const LightingSettings settings {source.isOn, effect, brightness, speedAt(position, member.profile),
                                         source.color};
        validate(member.profile, settings);
        settingsByID.emplace(member.id, settings);
    }
    return settingsByID;
}

} // namespace kavrin::NativeSynchronization
