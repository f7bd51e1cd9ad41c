#include "RGBProtocol/animation/AnimationJSON.hpp"
#include "RGBProtocol/animation/AnimationModel.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

const AnimationSettings studioDefault {
    AnimationStyle::rainbow, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 5};

TEST(AnimationStyleRawValue, RoundTripsAndRejectsHardwareNames)
{
    for (const AnimationStyle style : allAnimationStyles) {
        EXPECT_EQ(animationStyleFromRaw(rawValue(style)), style);
    }
    for (const ColorTheme theme : allColorThemes) {
        EXPECT_EQ(colorThemeFromRaw(rawValue(theme)), theme);
    }
    EXPECT_EQ(animationStyleFromRaw("doubleFlash"), AnimationStyle::doubleFlash);
    EXPECT_EQ(animationStyleFromRaw("dualFlashing"), std::nullopt);
    EXPECT_EQ(animationStyleFromRaw("Solid"), std::nullopt);
    EXPECT_EQ(colorThemeFromRaw("rainbow"), std::nullopt);
}

TEST(AnimationSettingsValidation, AcceptsBrightness0To100AndSpeed1To10)
{
    const struct {
        std::int64_t brightness;
        std::int64_t speed;
        bool valid;
    } cases[] = {
        {0, 1, true},   {100, 10, true}, {101, 5, false},      {-1, 5, false},
        {50, 0, false}, {50, 11, false}, {int64Min, 5, false}, {50, int64Max, false},
    };
    for (const auto& testCase : cases) {
        AnimationSettings settings = studioDefault;
        settings.brightness = testCase.brightness;
        settings.speed = testCase.speed;
        SCOPED_TRACE(testing::Message() << testCase.brightness << " " << testCase.speed);
        if (testCase.valid) {
            EXPECT_EQ(settings.validated(), settings);
            continue;
        }
        try {
            settings.validated();
            ADD_FAILURE() << "accepted";
        } catch (const ProtocolError& error) {
            EXPECT_EQ(error.kind(), ProtocolError::Kind::invalidSettings);
            EXPECT_EQ(error.errorDescription(), "灯光参数超出支持范围。");
        }
    }
}

TEST(AnimationSettingsPreview, StretchesHardwareSpeedOntoOneToTen)
{
    using Speeds = std::vector<std::pair<std::int64_t, std::int64_t>>;
    const std::pair<ControllerProfile, Speeds> cases[]
        = {{ControllerProfile::mindCube,
            {{1, 1}, {2, 3}, {3, 5}, {4, 6}, {5, 8}, {6, 10}, {0, -1}, {int64Max, int64Max}, {int64Min, int64Min}}},
           {ControllerProfile::forgeCubeLegacy,
            {{1, 1}, {7, 7}, {10, 10}, {-4, -4}, {int64Max, int64Max}, {int64Min, int64Min}}}};
    for (const auto& [profile, speeds] : cases) {
        for (const auto& [hardwareSpeed, expected] : speeds) {
            const LightingSettings hardware {true, LightingEffect::breathing, 50, hardwareSpeed, {1, 2, 3}};
            EXPECT_EQ(AnimationSettings::preview(hardware, profile).speed, expected)
                << rawValue(profile) << " " << hardwareSpeed;
        }
    }
}

TEST(AnimationSettingsPreview, MapsEffectBrightnessAndColours)
{
    using enum ControllerProfile;
    const LightColor color {0x12, 0x34, 0x56};
    const struct {
        bool isOn;
        LightingEffect effect;
        ControllerProfile profile;
        AnimationStyle style;
        std::int64_t brightness;
    } cases[] = {
        {true, LightingEffect::solid, forgeCubeLegacy, AnimationStyle::solid, 50},
        {true, LightingEffect::flashing, forgeCubeLegacy, AnimationStyle::flashing, 45},
        {true, LightingEffect::dualFlashing, forgeCubeLegacy, AnimationStyle::doubleFlash, 45},
        {true, LightingEffect::wave, mindCube, AnimationStyle::wave, 45},
        {false, LightingEffect::breathing, mindCube, AnimationStyle::breathing, 0},
    };
    for (const auto& testCase : cases) {
        const LightingSettings hardware {testCase.isOn, testCase.effect, 45, 1, color};
        const AnimationSettings expected {testCase.style,      color, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE},
                                          testCase.brightness, 1};
        EXPECT_EQ(AnimationSettings::preview(hardware, testCase.profile), expected) << title(testCase.effect);
    }
}

TEST(AnimationSettingsJSON, EncodesStyleByNameAndDecodesStrictly)
{
    const nlohmann::json encoded = studioDefault;
    EXPECT_EQ(encoded["style"], "rainbow");
    EXPECT_EQ(encoded["primary"], (nlohmann::json {{"red", 255}, {"green", 100}, {"blue", 0}}));
    EXPECT_EQ(encoded.get<AnimationSettings>(), studioDefault);

    nlohmann::json outOfRange = encoded;
    outOfRange["speed"] = 99;
    EXPECT_EQ(outOfRange.get<AnimationSettings>().speed, 99);

    std::vector<nlohmann::json> invalid;
    for (const char* key : {"style", "primary", "secondary", "tertiary", "brightness", "speed"}) {
        invalid.push_back(encoded);
        invalid.back().erase(key);
    }
    for (const auto& [key, value] : {std::pair<const char*, nlohmann::json> {"style", "dualFlashing"},
                                     {"style", 4},
                                     {"brightness", 50.5},
                                     {"primary", "FF6400"}}) {
        invalid.push_back(encoded);
        invalid.back()[key] = value;
    }
    for (const nlohmann::json& json : invalid) {
        EXPECT_THROW(json.get<AnimationSettings>(), DecodingError) << json;
    }
}

} // namespace
} // namespace kavrin
