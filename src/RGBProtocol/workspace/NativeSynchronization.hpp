#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace kavrin {

// One dock of a synchronisation, by registry ID, with its model.
struct SyncMember {
    std::uint64_t id;
    ControllerProfile profile;
};

// Puts docks of mixed models on one built-in effect. Each dock runs the effect on its own clock,
// so the plan aligns parameters, not phase.
namespace NativeSynchronization {

// The effects every given model offers, in the first model's order.
std::vector<LightingEffect> commonEffects(std::span<const ControllerProfile> profiles);

// One settings value per member: the source's on/off state and colour, the requested effect, a brightness
// step every model shows alike, and the source's relative speed within each member's own range.
// Throws ProtocolError::invalidSettings when the source does not suit its model, the members are empty or
// repeat an ID, not every member offers the effect, or a member's model rejects its computed settings.
std::map<std::uint64_t, LightingSettings> plan(const LightingSettings& source, ControllerProfile sourceProfile,
                                               LightingEffect effect, std::span<const SyncMember> members);

} // namespace NativeSynchronization

} // namespace kavrin
