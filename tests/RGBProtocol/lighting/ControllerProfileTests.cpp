#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace kavrin {
namespace {

TEST(ControllerProfileMatching, VendorAndProductMustBelongToOneModel)
{
    const struct {
        std::int64_t vendorID;
        std::int64_t productID;
        std::optional<ControllerProfile> expected;
    } cases[] = {
        {0x0414, 0x7A61, ControllerProfile::mindCube},
        {0x1044, 0x7A27, ControllerProfile::forgeCubeLegacy},
        {0x1044, 0x7A3C, ControllerProfile::forgeCubeLegacy},
        {0x1044, 0x7A3E, ControllerProfile::forgeCubeLegacy},
        {0x1044, 0x7A61, std::nullopt},
        {0x0414, 0x7A27, std::nullopt},
        {0x1044, 0x7A28, std::nullopt},
        {0, 0, std::nullopt},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(matchingProfile(testCase.vendorID, testCase.productID), testCase.expected)
            << std::hex << testCase.vendorID << ":" << testCase.productID;
    }
}

TEST(ControllerProfileRules, SpeedUseDiffersForCyclingBetweenModels)
{
    EXPECT_TRUE(usesSpeed(ControllerProfile::mindCube, LightingEffect::cycling));
    EXPECT_FALSE(usesSpeed(ControllerProfile::forgeCubeLegacy, LightingEffect::cycling));
    EXPECT_FALSE(usesSpeed(ControllerProfile::mindCube, LightingEffect::solid));
    EXPECT_TRUE(usesSpeed(ControllerProfile::forgeCubeLegacy, LightingEffect::breathing));
}

TEST(ControllerProfileRules, EffectiveBrightnessIsRoundedOnlyOnTheOlderModel)
{
    const LightingSettings settings {true, LightingEffect::solid, 45, 1, {}};
    EXPECT_EQ(effectiveBrightness(ControllerProfile::forgeCubeLegacy, settings), 50);
    EXPECT_EQ(effectiveBrightness(ControllerProfile::mindCube, settings), 45);
}

TEST(ControllerProfileValidation, ChecksGeneralBoundsEffectsAndSpeedRange)
{
    const struct {
        ControllerProfile profile;
        LightingSettings settings;
        bool valid;
    } cases[] = {
        {ControllerProfile::mindCube, {true, LightingEffect::wave, 100, 6, {}}, true},
        {ControllerProfile::mindCube, {true, LightingEffect::wave, 100, 7, {}}, false},
        {ControllerProfile::forgeCubeLegacy, {true, LightingEffect::wave, 100, 1, {}}, false},
        {ControllerProfile::forgeCubeLegacy, {true, LightingEffect::dualFlashing, 100, 10, {}}, true},
        {ControllerProfile::forgeCubeLegacy, {false, LightingEffect::solid, 0, 5, {}}, false},
        {ControllerProfile::mindCube, {false, LightingEffect::solid, 10, 0, {}}, false},
        {ControllerProfile::mindCube, {true, LightingEffect::solid, 101, 1, {}}, false},
    };
    for (const auto& testCase : cases) {
        if (testCase.valid) {
            EXPECT_NO_THROW(validate(testCase.profile, testCase.settings));
        } else {
            EXPECT_THROW(validate(testCase.profile, testCase.settings), ProtocolError);
        }
    }
}

} // namespace
} // namespace kavrin
