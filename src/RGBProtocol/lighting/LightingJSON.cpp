#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <limits>
#include <optional>
#include <string>

namespace kavrin {

const nlohmann::json& decodeMember(const nlohmann::json& object, const char* key)
{
    if (!object.is_object() || !object.contains(key)) {
        throw DecodingError(std::string("missing member \"") + key + "\"");
    }
    return object[key];
}

namespace {

// The value of an integer member that fits a signed 64-bit number; floats, text and
// unsigned numbers above the signed range give nothing.
std::optional<std::int64_t> signedInteger(const nlohmann::json& member)
{
    if (!member.is_number_integer()) {
        return std::nullopt;
    }
    if (member.is_number_unsigned()
        && member.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    return member.get<std::int64_t>();
}

} // namespace

std::int64_t decodeInteger(const nlohmann::json& object, const char* key, std::int64_t low, std::int64_t high)
{
    const auto value = signedInteger(decodeMember(object, key));
    if (!value || *value < low || *value > high) {
        throw DecodingError(std::string("member \"") + key + "\" is not an integer in range");
    }
    return *value;
}

std::int64_t decodeInteger(const nlohmann::json& object, const char* key)
{
    return decodeInteger(object, key, std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::int64_t>::max());
}

void to_json(nlohmann::json& json, const LightColor& color)
{
    json = nlohmann::json {{"red", color.red}, {"green", color.green}, {"blue", color.blue}};
}

void from_json(const nlohmann::json& json, LightColor& color)
{
    color = LightColor {static_cast<std::uint8_t>(decodeInteger(json, "red", 0, 255)),
                        static_cast<std::uint8_t>(decodeInteger(json, "green", 0, 255)),
                        static_cast<std::uint8_t>(decodeInteger(json, "blue", 0, 255))};
}

void to_json(nlohmann::json& json, LightingEffect effect)
{
    json = rawValue(effect);
}

void from_json(const nlohmann::json& json, LightingEffect& effect)
{
    const auto raw = signedInteger(json);
    const auto decoded = raw ? lightingEffectFromRaw(*raw) : std::nullopt;
    if (!decoded) {
        throw DecodingError("effect names no lighting effect");
    }
    effect = *decoded;
}

void to_json(nlohmann::json& json, const LightingSettings& settings)
{
    json = nlohmann::json {
        {"isOn", settings.isOn},   {"effect", settings.effect}, {"brightness", settings.brightness},
        {"speed", settings.speed}, {"color", settings.color},
    };
}

LightingSettings decodeLightingSettings(const nlohmann::json& json)
{
    const nlohmann::json& isOn = decodeMember(json, "isOn");
    if (!isOn.is_boolean()) {
        throw DecodingError("member \"isOn\" is not a boolean");
    }
    return LightingSettings {
        isOn.get<bool>(),
        decodeMember(json, "effect").get<LightingEffect>(),
        decodeInteger(json, "brightness"),
        decodeInteger(json, "speed"),
        decodeMember(json, "color").get<LightColor>(),
    };
}

void to_json(nlohmann::json& json, ControllerProfile profile)
{
    json = rawValue(profile);
}

void from_json(const nlohmann::json& json, ControllerProfile& profile)
{
    profile = decodeRawText(json, controllerProfileFromRaw, "profile");
}

} // namespace kavrin
