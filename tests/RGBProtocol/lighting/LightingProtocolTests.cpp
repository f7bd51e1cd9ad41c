#include "RGBProtocol/lighting/LightingProtocol.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

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
        const char* name;
        LightingSettings settings;
        ControllerProfile profile;
        std::vector<Report> expected;
    } cases[] = {
        {"legacy breathing",
         {true, LightingEffect::breathing, 45, 3, orange},
         legacy,
         {{0x01, 0xC8, 0xFF, 0x64, 0x00, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x02, 0x05, 0x07, 0x01, 0x08, 0x00}}},
        {"mind breathing",
         {true, LightingEffect::breathing, 45, 3, orange},
         mind,
         {{0xC9, 0x02, 0x2D, 0x02, 0x00, 0x00, 0x00, 0x00}, {0xCD, 0xFF, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00}}},
        {"legacy flashing takes the percentage",
         {true, LightingEffect::flashing, 45, 1, orange},
         legacy,
         {{0x01, 0xC8, 0xFF, 0x64, 0x00, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x04, 0x2D, 0x09, 0x01, 0x08, 0x00}}},
        {"legacy off still sends the colour",
         {false, LightingEffect::solid, 100, 10, {1, 2, 3}},
         legacy,
         {{0x01, 0xC8, 0x01, 0x02, 0x03, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x01, 0x00, 0x00, 0x01, 0x08, 0x00}}},
        {"mind off, wave at top speed",
         {false, LightingEffect::wave, 100, 6, {1, 2, 3}},
         mind,
         {{0xC9, 0x08, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00}, {0xCD, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00}}},
        {"legacy level rounds half up",
         {true, LightingEffect::cycling, 100, 1, {}},
         legacy,
         {{0x01, 0xC8, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00}, {0x01, 0xC9, 0x03, 0x0A, 0x09, 0x01, 0x08, 0x00}}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(LightingProtocol::commands(testCase.settings, testCase.profile), testCase.expected);
    }
}

TEST(LightingProtocolCommands, RefuseSettingsTheModelRejects)
{
    EXPECT_THROW(LightingProtocol::commands({true, LightingEffect::wave, 50, 1, {}}, legacy), ProtocolError);
    EXPECT_THROW(LightingProtocol::commands({true, LightingEffect::solid, 50, 7, {}}, mind), ProtocolError);
    EXPECT_THROW(LightingProtocol::commands({true, LightingEffect::solid, 5, 1, {}}, mind), ProtocolError);
}

TEST(LightingProtocolReports, RequestsAndSaveDifferPerModel)
{
    EXPECT_EQ(LightingProtocol::readColorCommand(legacy), (Report {0x00, 0xCA, 0x08, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::readColorCommand(mind), (Report {0x00, 0xCA, 0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::saveCommand(legacy), (Report {0x01, 0xB6, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::saveCommand(mind), (Report {0xB6, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LightingProtocol::readSettings, (Report {0x00, 0xCB, 0, 0, 0, 0, 0, 0}));
}

TEST(LightingProtocolDecode, AcceptsWellFormedAnswersAndRejectsTheRest)
{
    const Bytes color {0x00, 0xCA, 0x10, 0x20, 0x30, 0xAA, 0xBB, 0xCC};
    const LightColor decodedColor {0x10, 0x20, 0x30};
    const struct {
        const char* name;
        Bytes mode;
        Bytes color;
        ControllerProfile profile;
        std::optional<LightingSettings> expected;
    } cases[] = {
        {"legacy dark solid",
         {0x00, 0xCB, 0x01, 0x00, 0x09, 0, 0, 0},
         color,
         legacy,
         LightingSettings {false, LightingEffect::solid, 100, 1, decodedColor}},
        {"legacy level",
         {0x00, 0xCB, 0x02, 0x05, 0x07, 0, 0, 0},
         color,
         legacy,
         LightingSettings {true, LightingEffect::breathing, 50, 3, decodedColor}},
        {"legacy flashing raw 100",
         {0x00, 0xCB, 0x04, 100, 0x00, 0, 0, 0},
         color,
         legacy,
         LightingSettings {true, LightingEffect::flashing, 100, 10, decodedColor}},
        {"legacy ignores byte 0",
         {0x01, 0xCB, 0x01, 0x0A, 0x00, 0, 0, 0},
         {0x07, 0xCA, 0x10, 0x20, 0x30, 0, 0, 0},
         legacy,
         LightingSettings {true, LightingEffect::solid, 100, 10, decodedColor}},
        {"mind wave",
         {0x00, 0xCB, 0x08, 57, 0x03, 0, 0, 0},
         color,
         mind,
         LightingSettings {true, LightingEffect::wave, 57, 6, decodedColor}},
        {"mind slowest",
         {0x00, 0xCB, 0x01, 0x00, 0x08, 0, 0, 0},
         color,
         mind,
         LightingSettings {false, LightingEffect::solid, 100, 1, decodedColor}},
        {"legacy level 11", {0x00, 0xCB, 0x01, 11, 0x00, 0, 0, 0}, color, legacy, std::nullopt},
        {"legacy raw 101", {0x00, 0xCB, 0x05, 101, 0x00, 0, 0, 0}, color, legacy, std::nullopt},
        {"legacy wave", {0x00, 0xCB, 0x08, 0x05, 0x00, 0, 0, 0}, color, legacy, std::nullopt},
        {"legacy effect 6", {0x00, 0xCB, 0x06, 0x05, 0x00, 0, 0, 0}, color, legacy, std::nullopt},
        {"mind effect 7", {0x00, 0xCB, 0x07, 50, 0x05, 0, 0, 0}, color, mind, std::nullopt},
        {"legacy speed byte 10", {0x00, 0xCB, 0x01, 0x05, 10, 0, 0, 0}, color, legacy, std::nullopt},
        {"mind speed byte 2", {0x00, 0xCB, 0x01, 50, 2, 0, 0, 0}, color, mind, std::nullopt},
        {"mind speed byte 9", {0x00, 0xCB, 0x01, 50, 9, 0, 0, 0}, color, mind, std::nullopt},
        {"mind brightness 101", {0x00, 0xCB, 0x01, 101, 5, 0, 0, 0}, color, mind, std::nullopt},
        {"mind mode byte 0 set", {0x01, 0xCB, 0x01, 50, 5, 0, 0, 0}, color, mind, std::nullopt},
        {"mind colour byte 0 set",
         {0x00, 0xCB, 0x01, 50, 5, 0, 0, 0},
         {0x01, 0xCA, 0, 0, 0, 0, 0, 0},
         mind,
         std::nullopt},
        {"swapped answers", color, {0x00, 0xCB, 0x01, 0x05, 0x00, 0, 0, 0}, legacy, std::nullopt},
        {"mode answer 7 bytes", {0x00, 0xCB, 0x01, 0x05, 0x00, 0, 0}, color, legacy, std::nullopt},
        {"colour answer 9 bytes",
         {0x00, 0xCB, 0x01, 50, 5, 0, 0, 0},
         {0x00, 0xCA, 0, 0, 0, 0, 0, 0, 0},
         mind,
         std::nullopt},
        {"empty answers", {}, {}, legacy, std::nullopt},
        {"empty answers", {}, {}, mind, std::nullopt},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        if (testCase.expected) {
            EXPECT_EQ(LightingProtocol::decode(testCase.mode, testCase.color, testCase.profile), *testCase.expected);
            continue;
        }
        try {
            LightingProtocol::decode(testCase.mode, testCase.color, testCase.profile);
            ADD_FAILURE() << "decoded";
        } catch (const ProtocolError& error) {
            EXPECT_EQ(error.kind(), ProtocolError::Kind::invalidResponse);
        }
    }
}

TEST(LightingProtocolDecode, ReadsBackEveryValidSettingThatWasEncoded)
{
    // The dock echoes its set-mode fields in its answers; a round trip through both scales must
    // give back what matchesReadback accepts.
    for (const ControllerProfile profile : {legacy, mind}) {
        for (const LightingEffect effect : effects(profile)) {
            for (std::int64_t speed = 1; speed <= speedRange(profile).upperBound; ++speed) {
                for (std::int64_t brightness = 10; brightness <= 100; brightness += 7) {
                    const LightingSettings sent {true, effect, brightness, speed, orange};
                    const auto reports = LightingProtocol::commands(sent, profile);
                    const Report& mode = profile == mind ? reports[0] : reports[1];
                    const std::size_t offset = profile == mind ? 1 : 2;
                    const std::uint8_t speedByte
                        = profile == mind ? static_cast<std::uint8_t>(9 - speed) : mode[offset + 2];
                    const Bytes answer {0x00, 0xCB, mode[offset], mode[offset + 1], speedByte, 0, 0, 0};
                    const Bytes colorAnswer {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};
                    EXPECT_TRUE(sent.matchesReadback(LightingProtocol::decode(answer, colorAnswer, profile), profile))
                        << rawValue(profile) << " effect " << rawValue(effect) << " speed " << speed << " brightness "
                        << brightness;
                }
            }
        }
    }
}

} // namespace
} // namespace kavrin
