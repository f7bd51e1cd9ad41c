#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/LightingProtocol.hpp"

#include <optional>
#include <vector>

namespace kavrin {
namespace {

// The reports of a plain apply, the read requests and the save are checked in LightingControllerTests.

using Bytes = std::vector<std::uint8_t>;
constexpr auto legacy = ControllerProfile::forgeCubeLegacy;
constexpr auto mind = ControllerProfile::mindCube;

TEST(LightingProtocolCommands, EncodeRawBrightnessAndADarkLampWithItsColour)
{
    const struct {
        LightingSettings settings;
        ControllerProfile profile;
        std::vector<Report> expected;
    } cases[] = {
        // Flashing effects take the percentage; a dark lamp is brightness byte 0, colour still sent.
        {{true, LightingEffect::flashing, 45, 1, {0xFF, 0x64, 0x00}},
         legacy,
         {{0x01, 0xC8, 0xFF, 0x64, 0x00, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x04, 0x2D, 0x09, 0x01, 0x08, 0x00}}},
        {{false, LightingEffect::solid, 100, 10, {1, 2, 3}},
         legacy,
         {{0x01, 0xC8, 0x01, 0x02, 0x03, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x01, 0x00, 0x00, 0x01, 0x08, 0x00}}},
        {{false, LightingEffect::wave, 100, 6, {1, 2, 3}},
         mind,
         {{0xC9, 0x08, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00}, {0xCD, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00}}},
    };
    for (const auto& [settings, profile, expected] : cases) {
        EXPECT_EQ(LightingProtocol::commands(settings, profile), expected) << rawValue(settings.effect);
    }
    // Speed 7 is valid in general but beyond the newer model's range.
    const auto speed7 = [] { LightingProtocol::commands({true, LightingEffect::solid, 50, 7, {}}, mind); };
    EXPECT_THAT(speed7, throwsProtocolError(ProtocolError::Kind::invalidSettings));
}

TEST(LightingProtocolDecode, AcceptsWellFormedAnswersAndRejectsTheRest)
{
    const Bytes color {0x00, 0xCA, 0x10, 0x20, 0x30, 0xAA, 0xBB, 0xCC};
    const LightColor answered {0x10, 0x20, 0x30};
    const struct {
        const char* name;
        Bytes mode;
        Bytes color;
        ControllerProfile profile;
        std::optional<LightingSettings> expected;
    } cases[] = {
        // clang-format off
        {"legacy dark", {0x00, 0xCB, 0x01, 0x00, 0x09, 0, 0, 0}, color, legacy, LightingSettings {false, LightingEffect::solid, 100, 1, answered}},
        {"legacy raw, byte 0 ignored", {0x01, 0xCB, 0x05, 100, 0x00, 0, 0, 0}, {0x07, 0xCA, 0x10, 0x20, 0x30, 0, 0, 0}, legacy, LightingSettings {true, LightingEffect::dualFlashing, 100, 10, answered}},
        {"mind wave", {0x00, 0xCB, 0x08, 57, 0x03, 0, 0, 0}, color, mind, LightingSettings {true, LightingEffect::wave, 57, 6, answered}},
        {"legacy level 11", {0x00, 0xCB, 0x01, 11, 0x00, 0, 0, 0}, color, legacy, {}},
        {"legacy raw 101", {0x00, 0xCB, 0x05, 101, 0x00, 0, 0, 0}, color, legacy, {}},
        {"legacy wave", {0x00, 0xCB, 0x08, 0x05, 0x00, 0, 0, 0}, color, legacy, {}},
        {"effect 6", {0x00, 0xCB, 0x06, 0x05, 0x00, 0, 0, 0}, color, legacy, {}},
        {"legacy speed byte 10", {0x00, 0xCB, 0x01, 0x05, 10, 0, 0, 0}, color, legacy, {}},
        {"mind speed byte 2", {0x00, 0xCB, 0x01, 50, 2, 0, 0, 0}, color, mind, {}},
        {"mind speed byte 9", {0x00, 0xCB, 0x01, 50, 9, 0, 0, 0}, color, mind, {}},
        {"mind brightness 101", {0x00, 0xCB, 0x01, 101, 5, 0, 0, 0}, color, mind, {}},
        {"mind byte 0 set", {0x01, 0xCB, 0x01, 50, 5, 0, 0, 0}, color, mind, {}},
        {"swapped answers", color, {0x00, 0xCB, 0x01, 0x05, 0x00, 0, 0, 0}, legacy, {}},
        {"7-byte answer", {0x00, 0xCB, 0x01, 0x05, 0x00, 0, 0}, color, legacy, {}},
        {"9-byte answer", {0x00, 0xCB, 0x01, 50, 5, 0, 0, 0}, {0x00, 0xCA, 0, 0, 0, 0, 0, 0, 0}, mind, {}},
        // clang-format on
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const auto decode = [&] { return LightingProtocol::decode(testCase.mode, testCase.color, testCase.profile); };
        if (testCase.expected) {
            EXPECT_EQ(decode(), *testCase.expected);
        } else {
            EXPECT_THAT(decode, throwsProtocolError(ProtocolError::Kind::invalidResponse));
        }
    }
}

} // namespace
} // namespace kavrin
