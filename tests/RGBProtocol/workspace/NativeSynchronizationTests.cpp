#include "RGBProtocol/lighting/ProtocolError.hpp"
#include "RGBProtocol/workspace/NativeSynchronization.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kavrin {
namespace {

using enum ControllerProfile;
using enum LightingEffect;
using Members = std::vector<SyncMember>;

LightingSettings source(std::int64_t brightness, std::int64_t speed, LightingEffect effect = solid)
{
    return LightingSettings {true, effect, brightness, speed, LightColor {0xFF, 0x64, 0x00}};
}

TEST(NativeSynchronizationEffects, KeepTheFirstModelsOrderAndDropWhatAnyLacks)
{
    const std::vector<LightingEffect> shared {solid, breathing, cycling, flashing, dualFlashing};
    EXPECT_TRUE(NativeSynchronization::commonEffects({}).empty());
    EXPECT_EQ(NativeSynchronization::commonEffects(std::vector {mindCube}).size(), 6U);
    EXPECT_EQ(NativeSynchronization::commonEffects(std::vector {mindCube, forgeCubeLegacy}), shared);
}

TEST(NativeSynchronizationSpeed, MapsTheRelativePositionOntoEachModelsRange)
{
    const struct {
        ControllerProfile sourceModel;
        ControllerProfile memberModel;
        std::vector<std::int64_t> memberSpeeds; // for source speeds 1, 2, ...
    } table[] = {
        {forgeCubeLegacy, mindCube, {1, 2, 2, 3, 3, 4, 4, 5, 5, 6}},
        {mindCube, forgeCubeLegacy, {1, 3, 5, 6, 8, 10}},
        {forgeCubeLegacy, forgeCubeLegacy, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {mindCube, mindCube, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& row : table) {
        for (std::int64_t speed = 1; speed <= std::ssize(row.memberSpeeds); ++speed) {
            // Cycling ignores speed on the older model, yet the position still follows the source.
            const auto plan = NativeSynchronization::plan(source(100, speed), row.sourceModel, cycling,
                                                          Members {{5, row.memberModel}});
            EXPECT_EQ(plan.at(5).speed, row.memberSpeeds[speed - 1]) << rawValue(row.sourceModel) << " " << speed;
        }
    }
}

TEST(NativeSynchronizationBrightness, AlignsToTensOnlyForTheOlderModelsLevelEffects)
{
    const Members mindOnly {{1, mindCube}, {2, mindCube}};
    const Members mixed {{1, mindCube}, {2, forgeCubeLegacy}};
    const struct {
        Members members;
        LightingEffect effect;
        std::int64_t brightness;
        std::int64_t expected;
    } cases[] = {
        {mindOnly, breathing, 57, 57}, {mixed, breathing, 57, 60},    {Members {{2, forgeCubeLegacy}}, solid, 57, 60},
        {mixed, flashing, 57, 57},     {mixed, dualFlashing, 57, 57}, {mixed, cycling, 14, 10},
        {mixed, solid, 15, 20},        {mixed, solid, 95, 100},
    };
    for (const auto& testCase : cases) {
        const auto plan
            = NativeSynchronization::plan(source(testCase.brightness, 5), mindCube, testCase.effect, testCase.members);
        for (const auto& [id, settings] : plan) {
            EXPECT_EQ(settings.brightness, testCase.expected) << rawValue(testCase.effect) << " member " << id;
        }
    }
}

TEST(NativeSynchronizationPlan, CopiesOnOffAndColourAndTakesTheRequestedEffect)
{
    const LightingSettings dark {false, solid, 30, 10, LightColor {1, 2, 3}};
    const auto plan
        = NativeSynchronization::plan(dark, forgeCubeLegacy, cycling, Members {{8, mindCube}, {3, forgeCubeLegacy}});
    EXPECT_EQ(plan.at(8), (LightingSettings {false, cycling, 30, 6, LightColor {1, 2, 3}}));
    EXPECT_EQ(plan.at(3), (LightingSettings {false, cycling, 30, 10, LightColor {1, 2, 3}}));
    // The source's own model need not offer the effect when it is not a member.
    EXPECT_EQ(NativeSynchronization::plan(dark, forgeCubeLegacy, wave, Members {{8, mindCube}}).at(8).effect, wave);
}

TEST(NativeSynchronizationPlan, RefusesWithInvalidSettings)
{
    const Members newer {{1, mindCube}};
    const struct {
        LightingSettings settings;
        ControllerProfile sourceModel;
        LightingEffect effect;
        Members members;
    } cases[] = {
        {source(50, 8), mindCube, breathing, newer},
        {source(9, 5), mindCube, breathing, newer},
        {source(50, 5, wave), forgeCubeLegacy, breathing, newer},
        {source(50, 5), mindCube, breathing, Members {}},
        {source(50, 5), mindCube, breathing, Members {{1, mindCube}, {1, forgeCubeLegacy}}},
        {source(50, 5), mindCube, wave, Members {{1, mindCube}, {2, forgeCubeLegacy}}},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(NativeSynchronization::plan(c.settings, c.sourceModel, c.effect, c.members), ProtocolError)
            << rawValue(c.sourceModel) << " speed " << c.settings.speed << " members " << c.members.size();
    }
}

} // namespace
} // namespace kavrin
