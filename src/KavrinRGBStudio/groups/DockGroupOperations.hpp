#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/groups/DockOutcome.hpp"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace kavrin {

// Each dock's settings before a group action, keyed by the whole record so that a dock enumerated
// again with any field changed finds no entry.
using DockSnapshot = std::unordered_map<RGBDevice, LightingSettings, RGBDeviceHash>;

// Blocking actions over several docks. They refuse by throwing before their first write; once
// writing has begun they roll back instead and report one outcome per dock. No write asks a dock
// to save.
namespace DockGroupOperations {

// Registry ID to the settings that dock should get.
using Plan = std::map<std::uint64_t, LightingSettings>;

// Reads every target; throws (writing nothing) when a target is missing, unusable or unreadable.
DockSnapshot capture(DockLightingIO& io, const std::vector<RGBDevice>& targets);

// Writes each target's snapshot back, in order, whatever happens to the others. Never throws.
std::vector<DockOutcome> restore(DockLightingIO& io, const std::vector<RGBDevice>& targets, const DockSnapshot& before,
                                 const std::string& success);

// Applies the plan dock by dock; on the first failure rolls back every dock written so far, the
// failing one included. Outcomes follow the target order; throws only refusals before any write.
std::vector<DockOutcome> synchronize(DockLightingIO& io, const std::vector<RGBDevice>& targets, const Plan& plan);

} // namespace DockGroupOperations

} // namespace kavrin
