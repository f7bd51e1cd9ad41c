#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace kavrin {
namespace {

constexpr LightColor orange {0xFF, 0x64, 0x00};

LightingSettings settings(bool isOn, LightingEffect effect, std::int64_t brightness, std::int64_t speed,
                          LightColor color = orange)
{
    return LightingSettings {isOn, effect, brightness, speed, color};
}

TEST(LightColorParsing, AcceptsSixDigitsWithOptionalHash)
{
    const struct {
        std::string text;
        std::optional<LightColor> expected;
    } cases[] = {
        {"FF6400", orange},
        {"#FF6400", orange},
        {"ff6400", orange},
        {"Ff6400", orange},
        {"#123456", LightColor {0x12, 0x34, 0x56}},
        {"", std::nullopt},
        {"#", std::nullopt},
        {"#12345", std::nullopt},
        {"FF640", std::nullopt},
        {"FF64000", std::nullopt},
        {" FF6400", std::nullopt},
        {"+F6400", std::nullopt},
        {"##FF6400", std::nullopt},
        {"0xFF64", std::nullopt},
        {"FF640\xC3\xA9", std::nullopt}, // five digits and an accented letter: 7 bytes
        {"FF64\xC3\xA9", std::nullopt}, // six bytes, but not digits
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        if (testCase.expected) {
            EXPECT_EQ(LightColor::fromHex(testCase.text), *testCase.expected);
        } else {
            try {
                LightColor::fromHex(testCase.text);
                ADD_FAILURE() << "parsed";
            } catch (const ProtocolError& error) {
                EXPECT_EQ(error.kind(), ProtocolError::Kind::invalidColor);
                EXPECT_EQ(error.errorDescription(), "颜色必须是六位十六进制 RGB，例如 FF6400。");
            }
        }
    }
}

TEST(LightColorText, IsUpperCaseZeroPaddedAndRoundTrips)
{
    EXPECT_EQ((LightColor {10, 11, 12}).hex(), "0A0B0C");
    EXPECT_EQ(LightColor::fromHex("0A0B0C"), (LightColor {10, 11, 12}));
    EXPECT_EQ(orange.hex(), "FF6400");
    EXPECT_EQ(LightColor {}.hex(), "000000");
}

TEST(LightingEffectRaw, OnlyWireValuesNameEffects)
{
    for (const std::int64_t raw : {0, 6, 7, 9, -1, 256 + 1}) {
        EXPECT_FALSE(lightingEffectFromRaw(raw)) << raw;
    }
    for (const LightingEffect effect : allLightingEffects) {
        EXPECT_EQ(lightingEffectFromRaw(rawValue(effect)), effect);
    }
    EXPECT_EQ(lightingEffectFromRaw(8), LightingEffect::wave);
}

TEST(LightingSettingsValidation, BoundsAreInclusiveWhateverTheEffect)
{
    const struct {
        std::int64_t brightness;
        std::int64_t speed;
        bool valid;
    } cases[] = {
        {10, 1, true}, {100, 10, true}, {9, 5, false}, {101, 5, false}, {50, 0, false}, {50, 11, false},
    };
    for (const auto& testCase : cases) {
        for (const LightingEffect effect : allLightingEffects) {
            const auto value = settings(true, effect, testCase.brightness, testCase.speed);
            if (testCase.valid) {
                EXPECT_EQ(value.validated(), value);
            } else {
                EXPECT_THROW(value.validated(), ProtocolError);
            }
        }
    }
}

TEST(EffectiveBrightness, RoundsHalfUpToTensUnlessTheEffectTakesItRaw)
{
    const struct {
        LightingEffect effect;
        std::int64_t brightness;
        std::int64_t expected;
    } cases[] = {
        {LightingEffect::solid, 10, 10},
        {LightingEffect::solid, 14, 10},
        {LightingEffect::solid, 15, 20},
        {LightingEffect::breathing, 45, 50},
        {LightingEffect::wave, 95, 100},
        {LightingEffect::flashing, 45, 45},
        {LightingEffect::dualFlashing, 57, 57},
        {LightingEffect::solid, -14, 0},
        {LightingEffect::solid, -15, -10},
        {LightingEffect::solid, std::numeric_limits<std::int64_t>::max(),
         std::numeric_limits<std::int64_t>::max() / 10 * 10},
        {LightingEffect::solid, std::numeric_limits<std::int64_t>::min(),
         std::numeric_limits<std::int64_t>::min() / 10 * 10},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(settings(true, testCase.effect, testCase.brightness, 5).effectiveBrightness(), testCase.expected)
            << testCase.brightness;
    }
}

TEST(ReadbackMatching, FollowsTheModelsBrightnessResolution)
{
    const auto sent = settings(true, LightingEffect::breathing, 45, 3);
    auto readback = sent;
    readback.brightness = 50;
    EXPECT_TRUE(sent.matchesReadback(readback, ControllerProfile::forgeCubeLegacy));
    EXPECT_FALSE(sent.matchesReadback(readback, ControllerProfile::mindCube));
    readback.brightness = 45;
    EXPECT_FALSE(sent.matchesReadback(readback, ControllerProfile::forgeCubeLegacy));
    EXPECT_TRUE(sent.matchesReadback(readback, ControllerProfile::mindCube));

    const auto flashing = settings(true, LightingEffect::flashing, 45, 3);
    EXPECT_TRUE(flashing.matchesReadback(flashing, ControllerProfile::forgeCubeLegacy));
}

TEST(ReadbackMatching, ComparesEverythingButBrightnessOfADarkLamp)
{
    const auto darkSent = settings(false, LightingEffect::solid, 30, 5);
    EXPECT_TRUE(darkSent.matchesReadback(settings(false, LightingEffect::solid, 100, 5), ControllerProfile::mindCube));
    EXPECT_FALSE(darkSent.matchesReadback(settings(true, LightingEffect::solid, 30, 5), ControllerProfile::mindCube));
    EXPECT_FALSE(darkSent.matchesReadback(settings(false, LightingEffect::solid, 100, 4), ControllerProfile::mindCube));

    const auto cycling = settings(true, LightingEffect::cycling, 100, 5, LightColor {0, 0, 0});
    EXPECT_FALSE(cycling.matchesReadback(settings(true, LightingEffect::cycling, 100, 5, LightColor {0xFF, 0, 0}),
                                         ControllerProfile::forgeCubeLegacy));
}

TEST(LightingSettingsJSON, EncodesTheEditingDefaultAndDecodesItBack)
{
    const auto value = settings(true, LightingEffect::solid, 100, 5);
    const nlohmann::json json = value;
    EXPECT_EQ(json.dump(),
              R"({"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})");
    EXPECT_EQ(json.get<LightingSettings>(), value);
}

TEST(LightingSettingsJSON, DecodingIsStrict)
{
    const std::string invalid[] = {
        R"({"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":6,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":7,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":{"blue":0,"green":100,"red":256},"effect":1,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":{"blue":-1,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":{"green":100,"red":255},"effect":1,"isOn":true,"speed":5})",
        R"({"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":1,"speed":5})",
        R"({"brightness":1.5,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})",
        R"({"brightness":18446744073709551615,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5})",
        R"({"brightness":100,"color":"FF6400","effect":1,"isOn":true,"speed":5})",
        R"([])",
    };
    for (const auto& text : invalid) {
        EXPECT_THROW(nlohmann::json::parse(text).get<LightingSettings>(), DecodingError) << text;
    }
    const auto wave = nlohmann::json::parse(
        R"({"brightness":-3,"color":{"blue":0,"green":100,"red":255},"effect":8,"isOn":false,"speed":99})");
    EXPECT_EQ(wave.get<LightingSettings>(), settings(false, LightingEffect::wave, -3, 99));
}

} // namespace
} // namespace kavrin
