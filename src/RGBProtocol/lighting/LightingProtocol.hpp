#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace kavrin {

// The codec of the docks' lighting reports; no state, no I/O.
namespace LightingProtocol {

// The older model's facts under their protocol names; the newer model's are in dockModels only.
inline constexpr std::int64_t vendorID = facts(ControllerProfile::forgeCubeLegacy).vendorID;
inline const std::set<std::int64_t> supportedProducts {forgeCubeProductIDs.begin(), forgeCubeProductIDs.end()};
inline constexpr Report readColor = facts(ControllerProfile::forgeCubeLegacy).readColor;
inline constexpr Report save = facts(ControllerProfile::forgeCubeLegacy).save;

// The vendor-defined usage page of both models' lighting interface.
inline constexpr std::int64_t usagePage = 0xFF01;
inline constexpr Report readSettings {0x00, 0xCB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Report readColorCommand(ControllerProfile profile);
Report saveCommand(ControllerProfile profile);
Report colorCommand(LightColor color, ControllerProfile profile);
// The reports that apply the settings, in sending order; throws ProtocolError::invalidSettings.
std::vector<Report> commands(const LightingSettings& settings, ControllerProfile profile);
// Answers of any length are accepted here and rejected with ProtocolError::invalidResponse.
LightingSettings decode(std::span<const std::uint8_t> settings, std::span<const std::uint8_t> color,
                        ControllerProfile profile);

} // namespace LightingProtocol

} // namespace kavrin
