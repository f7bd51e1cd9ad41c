#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace kavrin {
namespace {

const RGBDevice& demoDock(std::size_t index)
{
    return RGBDevice::demoDevices().at(index);
}

const LightingSettings initialDock1 {true, LightingEffect::breathing, 100, 5, LightColor {0xFF, 0x64, 0x00}};
const LightingSettings initialDock2 {true, LightingEffect::wave, 70, 3, LightColor {0x33, 0x66, 0x99}};
const LightingSettings initialDock3 {true, LightingEffect::solid, 60, 2, LightColor {0x22, 0xC5, 0x5E}};
constexpr LightColor teal {0x00, 0x80, 0x80};

std::vector<LightingSettings> readAll(DemoDockIO& io)
{
    return {io.read(demoDock(0)), io.read(demoDock(1)), io.read(demoDock(2))};
}

std::string thrownText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const UserFacingError& error) {
        return error.errorDescription();
    }
    return "nothing thrown";
}

TEST(DemoDockIO, ListsTheThreeDemoDocksWithTheirStartingSettings)
{
    DemoDockIO io;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::uint64_t> ids;
        for (const RGBDevice& device : io.list()) {
            ids.push_back(device.id);
        }
        EXPECT_EQ(ids, (std::vector<std::uint64_t> {1, 2, 3}));
    }
    EXPECT_EQ(readAll(io), (std::vector<LightingSettings> {initialDock1, initialDock2, initialDock3}));
}

TEST(DemoDockIO, ApplyReportsWhatTheDockModelWouldReadBack)
{
    const struct {
        const char* name;
        std::size_t dock;
        LightingSettings requested;
        std::int64_t reportedBrightness;
    } cases[] = {
        {"older model rounds to tens", 0, {true, LightingEffect::solid, 45, 1, teal}, 50},
        {"newer model keeps the percentage", 1, {true, LightingEffect::solid, 45, 1, teal}, 45},
        {"older model keeps flashing brightness", 0, {true, LightingEffect::flashing, 45, 10, teal}, 45},
        {"a dark lamp reports full brightness", 2, {false, LightingEffect::breathing, 30, 7, teal}, 100},
        {"newer model's top speed and wave", 1, {true, LightingEffect::wave, 10, 6, teal}, 10},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        DemoDockIO io;
        LightingSettings expected = testCase.requested;
        expected.brightness = testCase.reportedBrightness;

        EXPECT_EQ(io.apply(testCase.requested, demoDock(testCase.dock), true), expected);
        EXPECT_EQ(io.read(demoDock(testCase.dock)), expected);
    }
}

TEST(DemoDockIO, RefusedOperationsChangeNoDock)
{
    RGBDevice unknownModel = demoDock(0);
    unknownModel.productID = 0x7A61;
    RGBDevice unknownDock = demoDock(1);
    unknownDock.id = 99;
    const LightingSettings solid {true, LightingEffect::solid, 50, 2, teal};
    const struct {
        const char* name;
        std::function<void(DemoDockIO&)> action;
        std::string expected;
    } cases[] = {
        {"wave on the older model",
         [](auto& io) {
             io.apply({true, LightingEffect::wave, 50, 2, teal}, demoDock(2), false);
         },
         "灯光参数超出支持范围。"},
        {"speed 7 on the newer model",
         [](auto& io) {
             io.apply({true, LightingEffect::breathing, 50, 7, teal}, demoDock(1), false);
         },
         "灯光参数超出支持范围。"},
        {"IDs of no model", [&](auto& io) { io.apply(solid, unknownModel, false); },
         "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。"},
        {"apply to no demo dock", [&](auto& io) { io.apply(solid, unknownDock, false); },
         "所选设备已断开或身份发生变化，请重新选择。"},
        {"read of no demo dock", [&](auto& io) { io.read(unknownDock); }, "所选设备已断开或身份发生变化，请重新选择。"},
        {"colours for a demo dock and an unknown one",
         [&](auto& io) {
             io.writeColors({{demoDock(0), teal}, {unknownDock, teal}});
         },
         "所选设备已断开或身份发生变化，请重新选择。"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        DemoDockIO io;
        EXPECT_EQ(thrownText([&] { testCase.action(io); }), testCase.expected);
        EXPECT_EQ(readAll(io), (std::vector<LightingSettings> {initialDock1, initialDock2, initialDock3}));
    }
}

TEST(DemoDockIO, StreamedColoursAreReadBackWithTheOtherSettingsKept)
{
    DemoDockIO io;
    io.writeColors({});
    io.writeColors({{demoDock(0), teal}, {demoDock(2), LightColor {1, 2, 3}}});

    LightingSettings dock1 = initialDock1;
    dock1.color = teal;
    LightingSettings dock3 = initialDock3;
    dock3.color = LightColor {1, 2, 3};
    EXPECT_EQ(readAll(io), (std::vector<LightingSettings> {dock1, initialDock2, dock3}));
}

// An apply on the device queue while frames stream colours: every state seen is one that some
// complete operation produced.
TEST(DemoDockIOConcurrency, AppliesAndColourStreamsNeverInterleaveHalfWay)
{
    DemoDockIO io;
    const LightingSettings dim {true, LightingEffect::solid, 20, 1, teal};
    const LightingSettings bright {true, LightingEffect::breathing, 90, 4, teal};
    LightingSettings untouched = initialDock1;
    untouched.color = teal;
    constexpr int rounds = 500;

    std::thread applies([&] {
        for (int round = 0; round < rounds; ++round) {
            io.apply(round % 2 == 0 ? dim : bright, demoDock(0), false);
        }
    });
    for (int round = 0; round < rounds; ++round) {
        io.writeColors({{demoDock(0), teal}, {demoDock(1), LightColor {0, 0, std::uint8_t(round)}}});
        const LightingSettings seen = io.read(demoDock(0));
        EXPECT_TRUE(seen == untouched || seen == dim || seen == bright);
    }
    applies.join();

    EXPECT_EQ(io.read(demoDock(0)), bright);
    EXPECT_EQ(io.read(demoDock(1)).color, (LightColor {0, 0, std::uint8_t(rounds - 1)}));
}

} // namespace
} // namespace kavrin
