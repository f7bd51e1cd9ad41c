// Text a user or a file supplies: colour text as typed, and the JSON of lighting and animation
// settings. Every input is tried as each.
#include "FuzzProperty.hpp"

#include "RGBProtocol/animation/AnimationJSON.hpp"
#include "RGBProtocol/animation/AnimationRenderer.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>
#include <cctype>

namespace kavrin::fuzz {
namespace {

void colorText(std::string_view input)
{
    std::string_view digits = input.starts_with('#') ? input.substr(1) : input;
    const bool wellFormed = digits.size() == 6
        && std::ranges::all_of(digits, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
    try {
        const LightColor color = LightColor::fromHex(input);
        std::string upper(digits);
        std::ranges::transform(upper, upper.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
        require(wellFormed, "malformed colour text accepted");
        require(color.hex() == upper, "a colour did not print back as its digits");
    } catch (const ProtocolError& error) {
        require(!wellFormed, "six hexadecimal digits refused");
        require(error.kind() == ProtocolError::Kind::invalidColor, "colour text refused for another reason");
    }
}

void lightingJSON(const nlohmann::json& json)
{
    try {
        const LightingSettings settings = decodeLightingSettings(json);
        require(decodeLightingSettings(nlohmann::json(settings)) == settings, "lighting settings lost in JSON");
    } catch (const DecodingError&) {
        return;
    }
}

void animationJSON(const nlohmann::json& json)
{
    try {
        const auto settings = json.get<AnimationSettings>();
        require(nlohmann::json(settings).get<AnimationSettings>() == settings, "animation settings lost in JSON");
        // The renderer takes any settings, validated or not, at any time and position.
        for (const double elapsed : {0.0, 0.37, 1e9}) {
            static_cast<void>(AnimationRenderer::color(settings, elapsed, elapsed / 2));
        }
    } catch (const DecodingError&) {
        return;
    }
}

} // namespace
} // namespace kavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = kavrin::fuzz::text(data, size);
    kavrin::fuzz::colorText(input);
    const nlohmann::json json = nlohmann::json::parse(input, nullptr, false);
    if (!json.is_discarded()) {
        kavrin::fuzz::lightingJSON(json);
        kavrin::fuzz::animationJSON(json);
    }
    return 0;
}
