#include "RGBProtocol/animation/AnimationJSON.hpp"

#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <string>

namespace kavrin {

void to_json(nlohmann::json& json, AnimationStyle style)
{
    json = std::string(rawValue(style));
}

void from_json(const nlohmann::json& json, AnimationStyle& style)
{
    style = decodeRawText(json, animationStyleFromRaw, "style");
}

void to_json(nlohmann::json& json, const AnimationSettings& settings)
{
    json = nlohmann::json {
        {"style", settings.style},       {"primary", settings.primary},       {"secondary", settings.secondary},
        {"tertiary", settings.tertiary}, {"brightness", settings.brightness}, {"speed", settings.speed},
    };
}

void from_json(const nlohmann::json& json, AnimationSettings& settings)
{
    settings = AnimationSettings {
        decodeMember(json, "style").get<AnimationStyle>(),
        decodeMember(json, "primary").get<LightColor>(),
        decodeMember(json, "secondary").get<LightColor>(),
        decodeMember(json, "tertiary").get<LightColor>(),
        decodeInteger(json, "brightness"),
        decodeInteger(json, "speed"),
    };
}

} // namespace kavrin
