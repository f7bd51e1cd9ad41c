#include "RGBProtocol/animation/AnimationJSON.hpp"
#include "RGBProtocol/animation/AnimationRenderer.hpp"
#include "RGBProtocol/animation/PreviewClock.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdint>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using enum AnimationStyle;
using enum ControllerProfile;

constexpr std::int64_t speeds[] {INT64_MIN, 0, 5, INT64_MAX};
constexpr double extremes[] {0, 0.37, 1e8, 1e300, -1e300, INFINITY, -INFINITY, NAN, 5e-324}; // last: least subnormal
constexpr LightColor red {0xFF, 0, 0}, blue {0, 0, 0xFF}; // so the position's blend is easy to read off

AnimationSettings animation(AnimationStyle style, std::int64_t speed = 10, std::int64_t brightness = 100,
                            LightColor primary = {0xFF, 0x64, 0x00}, LightColor secondary = {0xA8, 0x55, 0xF7})
{
    return AnimationSettings {style, primary, secondary, {0x22, 0xD3, 0xEE}, brightness, speed};
}

// Every style at speeds, times and positions far outside the valid ranges, always in the same order.
void renderEveryInput(std::vector<LightColor>& colors, std::int64_t brightness = 100)
{
    for (const AnimationStyle style : allAnimationStyles)
        for (const std::int64_t speed : speeds)
            for (const double elapsed : extremes)
                for (const double position : extremes)
                    colors.push_back(AnimationRenderer::color(animation(style, speed, brightness), elapsed, position));
}

// Worked by hand from the formulas; at speed 10 the period is 2 s, so p = t / 2.
TEST(AnimationRenderer, MatchesHandWorkedPoints)
{
    const std::pair<AnimationSettings, std::vector<std::tuple<double, double, const char*>>> cases[] {
        {animation(solid, 10, 50), {{3.7, 0.5, "803200"}}}, // 127.5 rounds up
        {animation(breathing), {{0, 0.5, "0A0400"}, {-5, 0.5, "0A0400"}, {NAN, 0.5, "0A0400"}}},
        {animation(flashing, INT64_MAX), {{0.35, 0.5, "FF6400"}, {0.36, 0.5, "000000"}, {2, 0.5, "FF6400"}}}, // as 10
        {animation(flashing, INT64_MIN), {{1.9, 0.5, "FF6400"}, {2, 0.5, "000000"}}}, // as 1: period 11
        {animation(doubleFlash), {{0.2, 0.5, "000000"}, {0.44, 0.5, "FF6400"}, {0.64, 0.5, "000000"}}},
        {animation(cycling), // hue 1/3 and 2/3, green rising in the first sixth, red in the fifth
         {{2.0 / 3, 0.5, "00FF00"}, {4.0 / 3, 0.5, "0000FF"}, {0.25, 0.5, "FFBF00"}, {1.5, 0.5, "8000FF"}}},
        {animation(rainbow), {{0, 0, "FF0000"}, {0, 0.5, "0DFF00"}}}, // hue 0, then shifted along the lamp
        {animation(gradient), {{1, 0.5, "A855F7"}}},
        {animation(tricolor), {{4.0 / 3, 0.5, "22D3EE"}, {0.5, 0.5, "BE59B9"}, {1.9999999, 0.5, "FF6400"}}},
        {animation(wave), {{0, 0.75, "FF6400"}, {0, 0.25, "140800"}}},
        {animation(comet, 10, 100, red, blue),
         {{0.5, 0.25, "BF0040"}, {0, NAN, "030003"}, {0, 7, "0000FF"}}}, // NaN as the middle, 7 as the far end
        {animation(twinkle, 30, 100, red, blue), {{0.15, 0.25, "BF0040"}}}, // speed unclamped
        {animation(candle, 30, 100, red, blue), {{1, 0.5, "9D0022"}}}, // likewise
    };
    for (const auto& [settings, points] : cases)
        for (const auto& [elapsed, position, expected] : points)
            EXPECT_EQ(AnimationRenderer::color(settings, elapsed, position).hex(), expected)
                << rawValue(settings.style) << " speed " << settings.speed << " at " << elapsed << ", " << position;
}

// Also run under UBSan and ThreadSanitizer: any input gives a defined colour, the same on every thread.
TEST(AnimationRendererConcurrency, ExtremeInputsGiveDefinedColoursOnEveryThread)
{
    std::vector<LightColor> full, brightest, darkest;
    std::jthread bright([&] { renderEveryInput(brightest, INT64_MAX); });
    renderEveryInput(darkest, INT64_MIN);
    renderEveryInput(full);
    bright.join();
    EXPECT_EQ(brightest, full);
    EXPECT_EQ(darkest, std::vector<LightColor>(full.size()));
}

TEST(AnimationSettingsValidation, AcceptsBrightness0To100AndSpeed1To10)
{
    const auto refusal = testing::ThrowsMessage<ProtocolError>(testing::StrEq("灯光参数超出支持范围。"));
    const std::tuple<std::int64_t, std::int64_t, bool> cases[] {{0, 1, false}, {100, 10, false}, {101, 5, true},
                                                                {-1, 5, true}, {50, 0, true},    {50, 11, true}};
    for (const auto& [brightness, speed, refused] : cases) {
        EXPECT_EQ(testing::Value([&] { animation(solid, speed, brightness).validated(); }, refusal), refused)
            << brightness << " " << speed;
    }
}

TEST(AnimationSettingsPreview, MapsEffectAndBrightnessAndStretchesTheSpeedOntoOneToTen)
{
    const auto preview = [](LightingEffect effect, ControllerProfile profile, std::int64_t speed = 1, bool on = true) {
        return AnimationSettings::preview({on, effect, 45, speed, {0x12, 0x34, 0x56}}, profile);
    };
    // The older model shows level-based effects in tens; unused colour wells get the studio colours.
    EXPECT_EQ(preview(LightingEffect::solid, forgeCubeLegacy, 7), animation(solid, 7, 50, {0x12, 0x34, 0x56}));
    EXPECT_EQ(preview(LightingEffect::dualFlashing, forgeCubeLegacy).style, doubleFlash);
    EXPECT_EQ(preview(LightingEffect::breathing, mindCube, 1, false).brightness, 0);
    const std::pair<std::int64_t, std::int64_t> mindCubeSpeeds[] {
        {2, 3}, {4, 6}, {6, 10}, {0, -1}, {INT64_MAX, INT64_MAX}, {INT64_MIN, INT64_MIN}};
    for (const auto& [hardware, expected] : mindCubeSpeeds)
        EXPECT_EQ(preview(LightingEffect::breathing, mindCube, hardware).speed, expected) << hardware;
}

TEST(AnimationSettingsJSON, EncodesStyleByNameAndDecodesStrictly)
{
    const nlohmann::json encoded = animation(rainbow, 5, 80);
    EXPECT_EQ(encoded["style"], "rainbow");
    EXPECT_EQ(encoded.get<AnimationSettings>(), animation(rainbow, 5, 80));
    // A member is required (a null patch removes it), and the hardware effect's name is no style.
    const std::pair<const char*, nlohmann::json> patches[] {
        {"style", nullptr}, {"tertiary", nullptr}, {"speed", nullptr}, {"style", "dualFlashing"}, {"style", 4}};
    for (const auto& [key, value] : patches) {
        nlohmann::json patched = encoded;
        patched.merge_patch({{key, value}});
        EXPECT_THROW(patched.get<AnimationSettings>(), DecodingError) << key << " " << value;
    }
}

TEST(PreviewClock, PausesWithoutJumpAndNeverRunsBackwards)
{
    PreviewClock clock(100);
    clock.setRunning(false, 103);
    EXPECT_EQ(clock.elapsed(200), 3);
    clock.setRunning(true, 110);
    EXPECT_EQ(clock.elapsed(111), 4);
    EXPECT_EQ(clock.elapsed(104), 3);
    clock.setRunning(true, 115); // already running, so the anchor must stay
    EXPECT_EQ(clock.elapsed(111), 4);
}

} // namespace
} // namespace kavrin
