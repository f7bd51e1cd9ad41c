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

// hex() is checked through the colours AnimationTests renders.
TEST(LightColorText, ParsesSixDigitsWithOneOptionalHash)
{
    const struct {
        std::string text;
        std::optional<LightColor> expected;
    } cases[] = {
        // clang-format off
        {"FF6400", orange}, {"#ff6400", orange}, {"#09afAF", LightColor {0x09, 0xAF, 0xAF}}, {"", {}}, {"#", {}},
        {"#12345", {}}, {"FF64000", {}}, {"+F6400", {}}, {"##FF6400", {}},
        {"FF640\xC3\xA9", {}}, // five digits and an accented letter: 7 bytes
        // clang-format on
    };
    for (const auto& [text, expected] : cases) {
        if (expected) {
            EXPECT_EQ(LightColor::fromHex(text), *expected) << text;
        } else {
            EXPECT_THAT([&] { LightColor::fromHex(text); }, throwsProtocolError(ProtocolError::Kind::invalidColor))
                << text;
        }
    }
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
        {LightingEffect::solid, -15, 5, false, -10}, // halves round away from zero
        {LightingEffect::solid, int64Max, 5, false, int64Max / 10 * 10}, // saturates instead of overflowing
    };
    for (const auto& testCase : cases) {
        const LightingSettings settings {true, testCase.effect, testCase.brightness, testCase.speed, orange};
        SCOPED_TRACE(testCase.brightness);
        EXPECT_EQ(settings.effectiveBrightness(), testCase.effective);
        if (testCase.valid) {
            EXPECT_EQ(settings.validated(), settings);
        } else {
            EXPECT_THAT([&] { settings.validated(); }, throwsProtocolError(ProtocolError::Kind::invalidSettings));
        }
    }
}

// A read-back that confirms the settings on either model is covered by LightingControllerTests.
TEST(LightingSettingsRules, ReadbackMismatches)
{
    using enum LightingEffect;
    constexpr auto legacy = ControllerProfile::forgeCubeLegacy;
    constexpr auto mind = ControllerProfile::mindCube;
    const LightingSettings sent {true, breathing, 45, 3, orange};
    const LightingSettings dark {false, solid, 30, 5, orange};
    const struct {
        const char* name;
        LightingSettings sent;
        LightingSettings readback;
        ControllerProfile profile;
        bool matches;
    } cases[] = {
        {"exact on legacy", sent, sent, legacy, false},
        {"rounded on mind", sent, {true, breathing, 50, 3, orange}, mind, false},
        {"dark lamp ignores brightness", dark, {false, solid, 100, 5, orange}, mind, true},
        {"dark lamp compares speed", dark, {false, solid, 30, 4, orange}, mind, false},
        {"lit instead of dark", dark, {true, solid, 30, 5, orange}, mind, false},
        {"colour of cycling", {true, cycling, 100, 5, {}}, {true, cycling, 100, 5, {0xFF, 0, 0}}, legacy, false},
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
    // Every member is required (a null patch removes it), in range and of its type.
    const std::pair<const char*, nlohmann::json> patches[] = {
        // clang-format off
        {"isOn", nullptr}, {"effect", nullptr}, {"brightness", nullptr}, {"speed", nullptr}, {"color", nullptr},
        {"effect", 6}, {"color", {{"red", 256}}}, {"color", {{"blue", -1}}}, {"isOn", 1}, {"brightness", 1.5},
        {"brightness", 18446744073709551615ULL},
        // clang-format on
    };
    for (const auto& [member, value] : patches) {
        nlohmann::json patched = nlohmann::json::parse(text);
        patched.merge_patch({{member, value}});
        EXPECT_THROW(patched.get<LightingSettings>(), DecodingError) << member << " " << value;
    }
}

} // namespace
} // namespace kavrin
