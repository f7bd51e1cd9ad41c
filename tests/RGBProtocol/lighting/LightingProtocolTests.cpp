#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/LightingProtocol.hpp"

#include <optional>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto legacy = ControllerProfile::forgeCubeLegacy;
constexpr auto mind = ControllerProfile::mindCube;
constexpr LightColor orange {0xFF, 0x64, 0x00};

TEST(LightingProtocolCommands, EncodeEachModelsFramingAndOrder)
{
    const struct {
        LightingSettings settings;
        ControllerProfile profile;
        std::vector<Report> expected;
    } cases[] = {
        {{true, LightingEffect::breathing, 45, 3, orange},
         legacy,
         {{0x01, 0xC8, 0xFF, 0x64, 0x00, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x02, 0x05, 0x07, 0x01, 0x08, 0x00}}},
        {{true, LightingEffect::breathing, 45, 3, orange},
         mind,
         {{0xC9, 0x02, 0x2D, 0x02, 0x00, 0x00, 0x00, 0x00}, {0xCD, 0xFF, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00}}},
        // Flashing effects take the percentage; a dark lamp is brightness byte 0, colour still sent.
        {{true, LightingEffect::flashing, 45, 1, orange},
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
    expectProtocolError(ProtocolError::Kind::invalidSettings, [] {
        LightingProtocol::commands({true, LightingEffect::wave, 50, 1, {}}, legacy);
    });
    expectProtocolError(ProtocolError::Kind::invalidSettings, [] {
        LightingProtocol::commands({true, LightingEffect::solid, 50, 7, {}}, mind);
    });
}

TEST(LightingProtocolCommands, RequestsAndSaveDifferPerModel)
{
    EXPECT_EQ(LightingProtocol::readColorCommand(legacy), (Report {0x00, 0xCA, 0x08, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::readColorCommand(mind), (Report {0x00, 0xCA, 0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::saveCommand(legacy), (Report {0x01, 0xB6, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::saveCommand(mind), (Report {0xB6, 0, 0, 0, 0, 0, 0, 0}));
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
        {"legacy level", {0x00, 0xCB, 0x02, 0x05, 0x07, 0, 0, 0}, color, legacy, LightingSettings {true, LightingEffect::breathing, 50, 3, answered}},
        {"legacy raw, byte 0 ignored", {0x01, 0xCB, 0x04, 100, 0x00, 0, 0, 0}, {0x07, 0xCA, 0x10, 0x20, 0x30, 0, 0, 0}, legacy, LightingSettings {true, LightingEffect::flashing, 100, 10, answered}},
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
        {"empty answers", {}, {}, mind, {}},
        // clang-format on
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const auto decode = [&] { return LightingProtocol::decode(testCase.mode, testCase.color, testCase.profile); };
        if (testCase.expected) {
            EXPECT_EQ(decode(), *testCase.expected);
        } else {
            expectProtocolError(ProtocolError::Kind::invalidResponse, decode);
        }
    }
}

TEST(LightingProtocolDecode, EveryValidSettingSurvivesTheRoundTripThroughTheDock)
{
    // A dock answers with the fields it was set to, the newer one with speed as 9 - speed.
    for (const ControllerProfile profile : {legacy, mind}) {
        for (const LightingEffect effect : effects(profile)) {
            for (std::int64_t speed = 1; speed <= speedRange(profile).upperBound; ++speed) {
                for (std::int64_t brightness = 10; brightness <= 100; brightness += 7) {
                    const LightingSettings sent {true, effect, brightness, speed, orange};
                    const auto reports = LightingProtocol::commands(sent, profile);
                    const Report& mode = profile == mind ? reports[0] : reports[1];
                    const std::size_t at = profile == mind ? 1 : 2;
                    const auto speedByte = profile == mind ? static_cast<std::uint8_t>(9 - speed) : mode[at + 2];
                    const Bytes answer {0x00, 0xCB, mode[at], mode[at + 1], speedByte, 0, 0, 0};
                    const Bytes colorAnswer {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};
                    const auto readback = LightingProtocol::decode(answer, colorAnswer, profile);
                    EXPECT_TRUE(sent.matchesReadback(readback, profile))
                        << rawValue(profile) << " " << rawValue(effect) << " " << speed << " " << brightness;
                }
            }
        }
    }
}

} // namespace
} // namespace kavrin
