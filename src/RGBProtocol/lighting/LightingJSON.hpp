#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kavrin {

// Thrown when decoding JSON whose members are missing, of the wrong type or out of range.
class DecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Strict member access for decoders: the member must exist and be an integer within [low, high].
std::int64_t decodeInteger(const nlohmann::json& object, const char* key, std::int64_t low, std::int64_t high);
std::int64_t decodeInteger(const nlohmann::json& object, const char* key);
const nlohmann::json& decodeMember(const nlohmann::json& object, const char* key);

// An enumeration spelled as its text raw value; any other text or type names no case.
template <typename Enum>
Enum decodeRawText(const nlohmann::json& json, std::optional<Enum> (*fromRaw)(std::string_view), const char* what)
{
    const auto decoded = json.is_string() ? fromRaw(json.get_ref<const std::string&>()) : std::nullopt;
    if (!decoded) {
        throw DecodingError(std::string(what) + " names no known case");
    }
    return *decoded;
}

void to_json(nlohmann::json& json, const LightColor& color);
void from_json(const nlohmann::json& json, LightColor& color);
void to_json(nlohmann::json& json, LightingEffect effect);
void from_json(const nlohmann::json& json, LightingEffect& effect);
void to_json(nlohmann::json& json, const LightingSettings& settings);
// LightingSettings has no default constructor worth the name, so decoding is a named function.
LightingSettings decodeLightingSettings(const nlohmann::json& json);
void to_json(nlohmann::json& json, ControllerProfile profile);
void from_json(const nlohmann::json& json, ControllerProfile& profile);

} // namespace kavrin

template <> struct nlohmann::adl_serializer<kavrin::LightingSettings> {
    static void to_json(json& json, const kavrin::LightingSettings& settings) { kavrin::to_json(json, settings); }
    static kavrin::LightingSettings from_json(const json& json) { return kavrin::decodeLightingSettings(json); }
};
