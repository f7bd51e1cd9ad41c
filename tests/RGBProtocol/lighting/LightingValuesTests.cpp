#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <limits>
#include <optional>
#include <string>

namespace kavrin {
namespace {

constexpr LightColor orange {0xFF, 0x64, 0x00};
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

TEST(LightColorText, ParsesSixDigitsWithOneOptionalHashAndPrintsUpperCase)
{
    const struct {
        std::string text;
        std::optional<LightColor> expected;
    } cases[] = {
        // clang-format off
        {"FF6400", orange}, {"#ff6400", orange}, {"#123456", LightColor {0x12, 0x34, 0x56}},
        {"0A0B0C", LightColor {10, 11, 12}}, {"", {}}, {"#", {}}, {"#12345", {}}, {"FF64000", {}}, {"+F6400", {}},
        {"##FF6400", {}},
        {"FF640\xC3\xA9", {}}, // five digits and an accented letter: 7 bytes
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        if (expected) {
            EXPECT_EQ(LightColor::fromHex(text), *expected);
            EXPECT_EQ(LightColor::fromHex(expected->hex()), *expected);
        } else {
            expectProtocolError(ProtocolError::Kind::invalidColor, [&] { LightColor::fromHex(text); });
        }
    }
    EXPECT_EQ((LightColor {10, 11, 12}).hex(), "0A0B0C");
    EXPECT_EQ(ProtocolError::invalidColor().errorDescription(), "颜色必须是六位十六进制 RGB，例如 FF6400。");
}

TEST(LightingSettingsRules, ValidationBoundsAndEffectiveBrightness)
{
    const struct {
        LightingEffect effect;
        std::int64_t brightness;
        std::int64_t speed;
        bool valid;
        std::int64_t effective;
    } cases[] = {
        {LightingEffect::solid, 10, 1, true, 10},
        {LightingEffect::breathing, 45, 5, true, 50},
        {LightingEffect::flashing, 45, 5, true, 45},
        {LightingEffect::solid, 9, 5, false, 10},
        {LightingEffect::solid, 50, 0, false, 50},
        {LightingEffect::flashing, 50, 11, false, 50},
        {LightingEffect::solid, -15, 5, false, -10},
        {LightingEffect::solid, int64Max, 5, false, int64Max / 10 * 10}, // saturates instead of overflowing
    };
    for (const auto& testCase : cases) {
        const LightingSettings settings {true, testCase.effect, testCase.brightness, testCase.speed, orange};
        SCOPED_TRACE(testCase.brightness);
        EXPECT_EQ(settings.effectiveBrightness(), testCase.effective);
        if (testCase.valid) {
            EXPECT_EQ(settings.validated(), settings);
        } else {
            expectProtocolError(ProtocolError::Kind::invalidSettings, [&] { settings.validated(); });
        }
    }
}

TEST(LightingSettingsRules, ReadbackMatchingFollowsTheModelsBrightnessResolution)
{
    const LightingSettings sent {true, LightingEffect::breathing, 45, 3, orange};
    const LightingSettings dark {false, LightingEffect::solid, 30, 5, orange};
    const LightingSettings cycling {true, LightingEffect::cycling, 100, 5, {}};
    const auto with = [](LightingSettings settings, auto change) {
        change(settings);
        return settings;
    };
    const struct {
        const char* name;
        LightingSettings sent;
        LightingSettings readback;
        ControllerProfile profile;
        bool matches;
    } cases[] = {
        {"rounded on legacy", sent, with(sent, [](auto& s) { s.brightness = 50; }), ControllerProfile::forgeCubeLegacy,
         true},
        {"exact on legacy", sent, sent, ControllerProfile::forgeCubeLegacy, false},
        {"exact on mind", sent, sent, ControllerProfile::mindCube, true},
        {"rounded on mind", sent, with(sent, [](auto& s) { s.brightness = 50; }), ControllerProfile::mindCube, false},
        {"dark lamp ignores brightness", dark, with(dark, [](auto& s) { s.brightness = 100; }),
         ControllerProfile::mindCube, true},
        {"dark lamp compares speed", dark, with(dark, [](auto& s) { s.speed = 4; }), ControllerProfile::mindCube,
         false},
        {"lit instead of dark", dark, with(dark, [](auto& s) { s.isOn = true; }), ControllerProfile::mindCube, false},
        {"colour of cycling", cycling, with(cycling, [](auto& s) { s.color.red = 0xFF; }),
         ControllerProfile::forgeCubeLegacy, false},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(testCase.sent.matchesReadback(testCase.readback, testCase.profile), testCase.matches)
            << testCase.name;
    }
}

TEST(LightingSettingsJSON, EncodesSortedAndDecodesStrictly)
{
    const LightingSettings editingDefault {true, LightingEffect::solid, 100, 5, orange};
    const std::string text
        = R"({"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})";
    EXPECT_EQ(nlohmann::json(editingDefault).dump(), text);
    EXPECT_EQ(nlohmann::json::parse(text).get<LightingSettings>(), editingDefault);

    const std::pair<const char*, nlohmann::json> invalid[] = {
        // clang-format off
        {"/effect", 6}, {"/color/red", 256}, {"/color/blue", -1}, {"/isOn", 1}, {"/brightness", 1.5},
        {"/brightness", 18446744073709551615ULL},
        // clang-format on
    };
    for (const auto& [pointer, value] : invalid) {
        nlohmann::json json = nlohmann::json::parse(text);
        json[nlohmann::json::json_pointer(pointer)] = value;
        EXPECT_THROW(json.get<LightingSettings>(), DecodingError) << pointer << " " << value;
    }
    for (const char* member : {"isOn", "effect", "brightness", "speed", "color"}) {
        nlohmann::json json = nlohmann::json::parse(text);
        json.erase(member);
        EXPECT_THROW(json.get<LightingSettings>(), DecodingError) << member;
    }
}

} // namespace
} // namespace kavrin
