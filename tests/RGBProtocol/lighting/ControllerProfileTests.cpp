#include <gtest/gtest.h>

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

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
    };
    for (const auto& [vendorID, productID, expected] : cases) {
        EXPECT_EQ(matchingProfile(vendorID, productID), expected) << std::hex << vendorID << ":" << productID;
    }
}

TEST(ControllerProfileRules, OnlyTheOlderModelReportsBrightnessInTens)
{
    const LightingSettings settings {true, LightingEffect::solid, 45, 1, {}};
    EXPECT_EQ(effectiveBrightness(ControllerProfile::forgeCubeLegacy, settings), 50);
    EXPECT_EQ(effectiveBrightness(ControllerProfile::mindCube, settings), 45);
}

// The text is the model's name, never its position in the enumeration.
TEST(ControllerProfileJSON, IsTheRawTextOnly)
{
    EXPECT_EQ(nlohmann::json(ControllerProfile::mindCube), "mindCube");
    EXPECT_EQ(nlohmann::json("forgeCubeLegacy").get<ControllerProfile>(), ControllerProfile::forgeCubeLegacy);
    for (const nlohmann::json& other : {nlohmann::json(1), nlohmann::json("mindcube")}) {
        EXPECT_THROW(other.get<ControllerProfile>(), DecodingError) << other;
    }
}

} // namespace
} // namespace kavrin
