#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kavrin {

// The dock model of a lighting interface; every per-model rule is asked of it.
enum class ControllerProfile : std::uint8_t { forgeCubeLegacy, mindCube };

inline constexpr std::array<ControllerProfile, 2> allControllerProfiles {
    ControllerProfile::forgeCubeLegacy,
    ControllerProfile::mindCube,
};

struct SpeedRange {
    std::int64_t lowerBound;
    std::int64_t upperBound;

    bool contains(std::int64_t speed) const { return speed >= lowerBound && speed <= upperBound; }
};

// Both the vendor and the product ID must belong to the same model.
std::optional<ControllerProfile> matchingProfile(std::int64_t vendorID, std::int64_t productID);
// The JSON spelling: "forgeCubeLegacy" or "mindCube".
std::string_view rawValue(ControllerProfile profile);
std::optional<ControllerProfile> controllerProfileFromRaw(std::string_view raw);
std::string_view title(ControllerProfile profile);
std::span<const LightingEffect> effects(ControllerProfile profile);
bool supports(ControllerProfile profile, LightingEffect effect);
SpeedRange speedRange(ControllerProfile profile);
bool usesSpeed(ControllerProfile profile, LightingEffect effect);
std::int64_t effectiveBrightness(ControllerProfile profile, const LightingSettings& settings);
// Throws ProtocolError::invalidSettings unless the settings are acceptable for the model.
void validate(ControllerProfile profile, const LightingSettings& settings);

} // namespace kavrin
