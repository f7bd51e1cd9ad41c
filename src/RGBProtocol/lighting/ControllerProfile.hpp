#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kavrin {

// The dock model of a lighting interface; every per-model rule is asked of it.
enum class ControllerProfile : std::uint8_t { forgeCubeLegacy, mindCube };

// Every lighting report is exactly 8 bytes, sent as a feature report without report ID.
using Report = std::array<std::uint8_t, 8>;

inline constexpr std::array<ControllerProfile, 2> allControllerProfiles {
    ControllerProfile::forgeCubeLegacy,
    ControllerProfile::mindCube,
};

struct SpeedRange {
    std::int64_t lowerBound;
    std::int64_t upperBound;

    bool contains(std::int64_t speed) const { return speed >= lowerBound && speed <= upperBound; }
};

enum class BrightnessEncoding : std::uint8_t {
    percentage,
    // Ten levels, (percentage + 5) / 10, except for the effects that take the percentage (rawBrightness).
    tenLevels,
};

// What tells the two dock models apart, one row per ControllerProfile in its order; every
// per-model function below and the protocol's per-model constants read it from here.
struct DockModelFacts {
    std::string_view rawValue;
    std::string_view title;
    std::int64_t vendorID;
    std::span<const std::int64_t> productIDs;
    std::span<const LightingEffect> effects;
    SpeedRange speedRange;
    BrightnessEncoding brightness;
    // The byte before the command code of writes; none when writes begin with the code.
    std::optional<std::uint8_t> writePrefix;
    Report readColor;
    Report save;
};

inline constexpr std::array<std::int64_t, 3> forgeCubeProductIDs {0x7A27, 0x7A3C, 0x7A3E};
inline constexpr std::array<std::int64_t, 1> mindCubeProductIDs {0x7A61};
inline constexpr std::array<LightingEffect, 5> forgeCubeEffects {
    LightingEffect::solid,    LightingEffect::breathing,    LightingEffect::cycling,
    LightingEffect::flashing, LightingEffect::dualFlashing,
};

// clang-format off
inline constexpr std::array<DockModelFacts, 2> dockModels {{
    // rawValue, title, vendor, products, effects, speed, brightness, write prefix, colour request, save
    {"forgeCubeLegacy", "FORGE CUBE", 0x1044, forgeCubeProductIDs, forgeCubeEffects, {1, 10},
     BrightnessEncoding::tenLevels, 0x01, {0x00, 0xCA, 0x08, 0, 0, 0, 0, 0}, {0x01, 0xB6, 0, 0, 0, 0, 0, 0}},
    {"mindCube", "KAVRIN MIND CUBE", 0x0414, mindCubeProductIDs, allLightingEffects, {1, 6},
     BrightnessEncoding::percentage, std::nullopt, {0x00, 0xCA, 0, 0, 0, 0, 0, 0}, {0xB6, 0, 0, 0, 0, 0, 0, 0}},
}};
// clang-format on

constexpr const DockModelFacts& facts(ControllerProfile profile)
{
    return dockModels[static_cast<std::size_t>(profile)];
}
static_assert(facts(ControllerProfile::forgeCubeLegacy).rawValue == "forgeCubeLegacy"
              && facts(ControllerProfile::mindCube).rawValue == "mindCube");

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
// Whether the model keeps this effect's brightness as one of ten levels rather than the percentage.
bool brightnessInLevels(ControllerProfile profile, LightingEffect effect);
// The brightness the dock reports after being set to these settings.
std::int64_t effectiveBrightness(ControllerProfile profile, const LightingSettings& settings);
// Throws ProtocolError::invalidSettings unless the settings are acceptable for the model.
void validate(ControllerProfile profile, const LightingSettings& settings);

} // namespace kavrin
