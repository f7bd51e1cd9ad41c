#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/lighting/RawValueLookup.hpp"

#include <algorithm>

namespace kavrin {

std::optional<ControllerProfile> matchingProfile(std::int64_t vendorID, std::int64_t productID)
{
    for (const ControllerProfile profile : allControllerProfiles) {
        if (facts(profile).vendorID == vendorID
            && std::ranges::find(facts(profile).productIDs, productID) != facts(profile).productIDs.end()) {
            return profile;
        }
    }
    return std::nullopt;
}

std::string_view rawValue(ControllerProfile profile)
{
    return facts(profile).rawValue;
}

std::optional<ControllerProfile> controllerProfileFromRaw(std::string_view raw)
{
    return caseWithRawValue(allControllerProfiles, raw);
}

std::string_view title(ControllerProfile profile)
{
    return facts(profile).title;
}

std::span<const LightingEffect> effects(ControllerProfile profile)
{
    return facts(profile).effects;
}

bool supports(ControllerProfile profile, LightingEffect effect)
{
    return std::ranges::find(effects(profile), effect) != effects(profile).end();
}

SpeedRange speedRange(ControllerProfile profile)
{
    return facts(profile).speedRange;
}

bool usesSpeed(ControllerProfile profile, LightingEffect effect)
{
    // The newer dock animates its colour cycle at the chosen speed; the older one does not.
    if (profile == ControllerProfile::mindCube) {
        return effect != LightingEffect::solid;
    }
    return usesSpeed(effect);
}

bool brightnessInLevels(ControllerProfile profile, LightingEffect effect)
{
    return facts(profile).brightness == BrightnessEncoding::tenLevels && !rawBrightness(effect);
}

std::int64_t effectiveBrightness(ControllerProfile profile, const LightingSettings& settings)
{
    return brightnessInLevels(profile, settings.effect) ? roundedToTens(settings.brightness) : settings.brightness;
}

void validate(ControllerProfile profile, const LightingSettings& settings)
{
    settings.validated();
    if (!supports(profile, settings.effect) || settings.speed > speedRange(profile).upperBound) {
        throw ProtocolError::invalidSettings();
    }
}

} // namespace kavrin
