#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace kavrin {
namespace {

using Style = AnimationStyle;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

AnimationSettings animation(Style style, std::int64_t speed = 10, std::int64_t brightness = 100,
                            const char* primary = "FF6400", const char* secondary = "A855F7")
{
    return AnimationSettings {
        style, LightColor::fromHex(primary), LightColor::fromHex(secondary), LightColor::fromHex("22D3EE"), brightness,
        speed};
}

// Red to blue, so the position's blend is easy to read off.
AnimationSettings redToBlue(Style style, std::int64_t speed)
{
    return animation(style, speed, 100, "FF0000", "0000FF");
}

std::string render(const AnimationSettings& settings, double elapsed, double position = 0.5)
{
    return AnimationRenderer::color(settings, elapsed, position).hex();
}

// Expected colours are worked by hand from the formulas; at speed 10 the period is 2 s, so p = t / 2.
TEST(AnimationRenderer, MatchesHandWorkedPoints)
{
    const struct {
        const char* name;
        AnimationSettings settings;
        double elapsed;
        double position;
        const char* expected;
    } cases[] = {
        {"solid is primary", animation(Style::solid), 3.7, 0.5, "FF6400"},
        {"127.5 rounds up", animation(Style::solid, 10, 50), 0, 0.5, "803200"},
        {"50.5 rounds away from zero", animation(Style::solid, 10, 50, "FF6500"), 0, 0.5, "803300"},
        {"brightness 250 acts as 100", animation(Style::solid, 10, 250), 0, 0.5, "FF6400"},
        {"breathing floor", animation(Style::breathing), 0, 0.5, "0A0400"},
        {"breathing half period", animation(Style::breathing), 1, 0.5, "FF6400"},
        {"elapsed 1e8 at period 7", animation(Style::breathing, 5), 1e8, 0.5, "A03F00"},
        {"elapsed 2e8 renders as 1e8", animation(Style::breathing, 5), 2e8, 0.5, "A03F00"},
        {"elapsed -5 renders as 0", animation(Style::breathing), -5, 0.5, "0A0400"},
        {"elapsed NaN renders as 0", animation(Style::breathing), nan, 0.5, "0A0400"},
        {"elapsed +inf renders as 0", animation(Style::breathing), inf, 0.5, "0A0400"},
        {"elapsed -inf renders as 0", animation(Style::breathing), -inf, 0.5, "0A0400"},
        {"flashing lit at 0", animation(Style::flashing), 0, 0.5, "FF6400"},
        {"flashing lit before 0.36", animation(Style::flashing), 0.3599, 0.5, "FF6400"},
        {"flashing dark at 0.36", animation(Style::flashing), 0.36, 0.5, "000000"},
        {"flashing dark before 2", animation(Style::flashing), 1.9999, 0.5, "000000"},
        {"flashing lit again at 2", animation(Style::flashing), 2, 0.5, "FF6400"},
        {"speed 1 period 11: lit at 1.9", animation(Style::flashing, 1), 1.9, 0.5, "FF6400"},
        {"speed 1 period 11: dark at 2", animation(Style::flashing, 1), 2, 0.5, "000000"},
        {"speed 0 acts as 1", animation(Style::flashing, 0), 1.9, 0.5, "FF6400"},
        {"speed -3 acts as 1", animation(Style::flashing, -3), 1.9, 0.5, "FF6400"},
        {"lowest speed acts as 1", animation(Style::flashing, int64Min), 1.9, 0.5, "FF6400"},
        {"speed 25 acts as 10: lit at 0.35", animation(Style::flashing, 25), 0.35, 0.5, "FF6400"},
        {"speed 25 acts as 10: dark at 1.9", animation(Style::flashing, 25), 1.9, 0.5, "000000"},
        {"highest speed acts as 10", animation(Style::flashing, int64Max), 0.35, 0.5, "FF6400"},
        {"doubleFlash lit before 0.10", animation(Style::doubleFlash), 0.1999, 0.5, "FF6400"},
        {"doubleFlash dark at 0.10", animation(Style::doubleFlash), 0.2, 0.5, "000000"},
        {"doubleFlash dark before 0.22", animation(Style::doubleFlash), 0.4399, 0.5, "000000"},
        {"doubleFlash lit at 0.22", animation(Style::doubleFlash), 0.44, 0.5, "FF6400"},
        {"doubleFlash lit before 0.32", animation(Style::doubleFlash), 0.6399, 0.5, "FF6400"},
        {"doubleFlash dark at 0.32", animation(Style::doubleFlash), 0.64, 0.5, "000000"},
        {"hue 0", animation(Style::cycling), 0, 0.5, "FF0000"},
        {"hue 1/8", animation(Style::cycling), 0.25, 0.5, "FFBF00"},
        {"hue 1/3", animation(Style::cycling), 2.0 / 3, 0.5, "00FF00"},
        {"hue 2/3", animation(Style::cycling), 4.0 / 3, 0.5, "0000FF"},
        {"hue 3/4 rounds 127.5 up", animation(Style::cycling), 1.5, 0.5, "8000FF"},
        {"cycling honours brightness", animation(Style::cycling, 10, 50), 0, 0.5, "800000"},
        {"rainbow at the lamp's start", animation(Style::rainbow), 0, 0, "FF0000"},
        {"rainbow spreads the hue", animation(Style::rainbow), 0, 0.5, "0DFF00"},
        {"gradient starts at primary", animation(Style::gradient), 0, 0.5, "FF6400"},
        {"gradient reaches secondary", animation(Style::gradient), 1, 0.5, "A855F7"},
        {"tricolor at 0 is primary", animation(Style::tricolor), 0, 0.5, "FF6400"},
        {"tricolor at 1/3 is secondary", animation(Style::tricolor), 2.0 / 3, 0.5, "A855F7"},
        {"tricolor at 2/3 is tertiary", animation(Style::tricolor), 4.0 / 3, 0.5, "22D3EE"},
        {"tricolor three quarters to secondary", animation(Style::tricolor), 0.5, 0.5, "BE59B9"},
        {"tricolor nearly back to primary", animation(Style::tricolor), 1.9999999, 0.5, "FF6400"},
        {"wave crest at p - 0.25", animation(Style::wave), 0, 0.75, "FF6400"},
        {"wave trough", animation(Style::wave), 0, 0.25, "140800"},
        {"comet head where x equals p", redToBlue(Style::comet, 10), 0.5, 0.25, "BF0040"},
        {"comet tail at distance 0.5", redToBlue(Style::comet, 10), 0, 0.5, "030003"},
        {"position NaN renders as 0.5", redToBlue(Style::comet, 10), 0, nan, "030003"},
        {"position -1 renders as 0", redToBlue(Style::comet, 10), 0, -1, "FF0000"},
        {"position 7 renders as 1", redToBlue(Style::comet, 10), 0, 7, "0000FF"},
        {"twinkle dim cell", redToBlue(Style::twinkle, 5), 0, 0.0625, "070000"},
        {"twinkle lit cell", redToBlue(Style::twinkle, 5), 0, 0.15, "D90026"},
        {"twinkle later draw", redToBlue(Style::twinkle, 5), 1.05, 0.2, "CC0033"},
        {"twinkle draws n + 2 times a second", redToBlue(Style::twinkle, 1), 1.05, 0.2, "060002"},
        {"twinkle uses the unclamped speed", redToBlue(Style::twinkle, 30), 0.15, 0.25, "BF0040"},
        {"candle at 0", redToBlue(Style::candle, 5), 0, 0.5, "8D0014"},
        {"candle at 1", redToBlue(Style::candle, 5), 1, 0.5, "5F0015"},
        {"candle uses the unclamped speed", redToBlue(Style::candle, 30), 1, 0.5, "9D0022"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(render(testCase.settings, testCase.elapsed, testCase.position), testCase.expected) << testCase.name;
    }
}

// Run under UBSan: no input may reach an undefined conversion, and dark stays dark.
TEST(AnimationRenderer, ExtremeInputsGiveDefinedColours)
{
    const double times[] = {0, 1e8, 1e300, -1e300, inf, -inf, nan, std::numeric_limits<double>::denorm_min()};
    const double positions[] = {0.25, inf, -inf, nan, 1e300};
    const std::int64_t speeds[] = {int64Min, -2, 0, int64Max};
    for (const Style style : allAnimationStyles) {
        for (const std::int64_t speed : speeds) {
            for (const double elapsed : times) {
                for (const double position : positions) {
                    const std::string dark = render(animation(style, speed, int64Min), elapsed, position);
                    ASSERT_EQ(dark, "000000") << rawValue(style) << " " << speed << " " << elapsed;
                    const std::string bright = render(animation(style, speed, int64Max), elapsed, position);
                    ASSERT_EQ(bright, render(animation(style, speed, 100), elapsed, position));
                }
            }
        }
    }
    for (const std::int64_t speed : {int64Min, int64Max}) {
        const std::string twinkle = render(redToBlue(Style::twinkle, speed), 1e8, 0.25);
        EXPECT_TRUE(twinkle == "BF0040" || twinkle == "060002") << twinkle;
        EXPECT_NE(render(redToBlue(Style::candle, speed), 1e8, 0.25), "000000");
    }
}

TEST(AnimationRendererConcurrency, ThreadsRenderTheSameColours)
{
    std::vector<LightColor> expected;
    const auto renderAll = [](std::vector<LightColor>& colors) {
        for (const Style style : allAnimationStyles) {
            for (int step = 0; step < 200; ++step) {
                colors.push_back(AnimationRenderer::color(animation(style), step * 0.037, step / 199.0));
            }
        }
    };
    renderAll(expected);
    std::vector<LightColor> first;
    std::vector<LightColor> second;
    std::thread one([&] { renderAll(first); });
    std::thread two([&] { renderAll(second); });
    one.join();
    two.join();
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
}

} // namespace
} // namespace kavrin
