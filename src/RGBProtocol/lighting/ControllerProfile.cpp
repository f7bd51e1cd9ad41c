#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/lighting/RawValueLookup.hpp"

#include <algorithm>

namespace kavrin {

namespace {

constexpr std::int64_t forgeCubeVendorID = 0x1044;
constexpr std::array<std::int64_t, 3> forgeCubeProductIDs {0x7A27, 0x7A3C, 0x7A3E};
constexpr std::int64_t mindCubeVendorID = 0x0414;
constexpr std::int64_t mindCubeProductID = 0x7A61;

constexpr std::array<LightingEffect, 5> forgeCubeEffects {
    LightingEffect::solid,    LightingEffect::breathing,    LightingEffect::cycling,
    LightingEffect::flashing, LightingEffect::dualFlashing,
};

} // namespace

std::optional<ControllerProfile> matchingProfile(std::int64_t vendorID, std::int64_t productID)
{
    if (vendorID == mindCubeVendorID && productID == mindCubeProductID) {
        return ControllerProfile::mindCube;
    }
    if (vendorID == forgeCubeVendorID
        && std::ranges::find(forgeCubeProductIDs, productID) != forgeCubeProductIDs.end()) {
        return ControllerProfile::forgeCubeLegacy;
    }
    return std::nullopt;
}

std::string_view rawValue(ControllerProfile profile)
{
    return profile == ControllerProfile::mindCube ? "mindCube" : "forgeCubeLegacy";
}

std::optional<ControllerProfile> controllerProfileFromRaw(std::string_view raw)
{
    return caseWithRawValue(allControllerProfiles, raw);
}

std::string_view title(ControllerProfile profile)
{
    return profile == ControllerProfile::mindCube ? "KAVRIN MIND CUBE" : "FORGE CUBE";
}

std::span<const LightingEffect> effects(ControllerProfile profile)
{
    if (profile == ControllerProfile::mindCube) {
        return allLightingEffects;
    }
    return forgeCubeEffects;
}

bool supports(ControllerProfile profile, LightingEffect effect)
{
    return std::ranges::find(effects(profile), effect) != effects(profile).end();
}

SpeedRange speedRange(ControllerProfile profile)
{
    return profile == ControllerProfile::mindCube ? SpeedRange {1, 6} : SpeedRange {1, 10};
}

bool usesSpeed(ControllerProfile profile, LightingEffect effect)
{
    // The newer dock animates its colour cycle at the chosen speed; the older one does not.
    if (profile == ControllerProfile::mindCube) {
        return effect != LightingEffect::solid;
    }
    return usesSpeed(effect);
}

std::int64_t effectiveBrightness(ControllerProfile profile, const LightingSettings& settings)
{
    return profile == ControllerProfile::mindCube ? settings.brightness : settings.effectiveBrightness();
}

void validate(ControllerProfile profile, const LightingSettings& settings)
{
    settings.validated();
    if (!supports(profile, settings.effect) || settings.speed > speedRange(profile).upperBound) {
        throw ProtocolError::invalidSettings();
    }
}

} // namespace kavrin
