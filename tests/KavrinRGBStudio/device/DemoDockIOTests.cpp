#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "RGBProtocol/UserFacingError.hpp"

#include <gmock/gmock.h>

#include <thread>

namespace kavrin {
namespace {

const std::vector<RGBDevice>& docks = RGBDevice::demoDevices();
constexpr LightColor teal {0x00, 0x80, 0x80};

// An apply keeps and returns what the dock's model would read back; a refused call changes no dock.
TEST(DemoDockIO, KeepsWhatTheModelWouldReadBackAndRefusesWithoutChange)
{
    const auto held = [](DemoDockIO& io) {
        return std::vector {io.read(docks[0]), io.read(docks[1]), io.read(docks[2])};
    };
    const RGBDevice unknownDock {99, 0x0414, 0x7A61, 0x01130000, "HOLTEK", "not a demo dock", 8};
    const LightingSettings solid {true, LightingEffect::solid, 45, 1, teal};
    const std::string gone = "所选设备已断开或身份发生变化，请重新选择。";
    const std::tuple<RGBDevice, LightingSettings, std::string, std::int64_t> cases[] = {
        {docks[0], solid, "", 50}, // the older model rounds to tens
        {docks[2], {false, LightingEffect::breathing, 30, 7, teal}, "", 100}, // a dark lamp reads full
        {docks[2], {true, LightingEffect::wave, 50, 2, teal}, "灯光参数超出支持范围。", 0},
        {unknownDock, solid, gone, 0},
    };
    DemoDockIO untouched;
    for (const auto& [dock, requested, error, brightness] : cases) {
        DemoDockIO io;
        auto expected = held(untouched);
        LightingSettings reported = requested;
        reported.brightness = brightness;
        if (error.empty()) {
            EXPECT_EQ(io.apply(requested, dock, true), reported);
            expected[dock.id - 1] = reported;
        } else {
            EXPECT_THAT([&] { io.apply(requested, dock, true); }, ::testing::ThrowsMessage<UserFacingError>(error));
        }
        EXPECT_EQ(held(io), expected);
    }
    DemoDockIO io;
    const auto colourAnUnknownDock = [&] { io.writeColors({{docks[0], teal}, {unknownDock, teal}}); };
    EXPECT_THAT(colourAnUnknownDock, ::testing::ThrowsMessage<UserFacingError>(gone));
    EXPECT_EQ(held(io), held(untouched));
}

// Colour frames racing applies: every state seen is one that a whole operation produced.
TEST(DemoDockIOConcurrency, AppliesAndColourStreamsNeverInterleaveHalfWay)
{
    DemoDockIO io;
    const LightingSettings applied[]
        = {{true, LightingEffect::solid, 20, 1, teal}, {true, LightingEffect::breathing, 90, 4, teal}};
    io.apply(applied[0], docks[0], false);
    std::thread device([&] {
        for (int round = 0; round < 500; ++round) {
            io.apply(applied[round % 2], docks[0], false);
        }
    });
    for (int round = 0; round < 500; ++round) {
        io.writeColors({{docks[0], teal}, {docks[1], LightColor {0, 0, std::uint8_t(round)}}});
        const LightingSettings seen = io.read(docks[0]);
        EXPECT_TRUE(seen == applied[0] || seen == applied[1]); // the colour leaves the rest alone
    }
    device.join();
    EXPECT_EQ(io.read(docks[1]).color, (LightColor {0, 0, 499 % 256}));
}

} // namespace
} // namespace kavrin
