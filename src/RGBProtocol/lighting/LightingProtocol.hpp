#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace kavrin {

// Every lighting report is exactly 8 bytes, sent as a feature report without report ID.
using Report = std::array<std::uint8_t, 8>;

// The codec of the docks' lighting reports; no state, no I/O.
namespace LightingProtocol {

inline constexpr std::int64_t vendorID = 0x1044;
inline constexpr std::int64_t usagePage = 0xFF01;
inline const std::set<std::int64_t> supportedProducts {0x7A27, 0x7A3C, 0x7A3E};

inline constexpr Report readSettings {0x00, 0xCB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr Report readColor {0x00, 0xCA, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr Report save {0x01, 0xB6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

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
