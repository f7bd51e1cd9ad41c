#include "FakeHIDSystem.hpp"

#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

namespace kavrin {
namespace {

using ::testing::ElementsAre;

class HIDTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addDock(mindCube);
        addDock(forgeCube);
    }

    HIDInterface& addDock(const RGBDevice& dock) { return system->add(dock); }

    const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x01000000, "HOLTEK", "USB Dock", 8};
    const RGBDevice mindCube {2, 0x0414, 0x7A61, 0x02000000, "HOLTEK", "USB Dock", 8};
    std::shared_ptr<FakeHIDSystem> system = std::make_shared<FakeHIDSystem>();
    HIDTransport transport {system,
                            [this](auto pause) { system->log.push_back("sleep " + std::to_string(pause.count())); }};
};

TEST_F(HIDTransportTest, ListLeavesOutWhatIsNotADocksLightingInterfaceAndSortsByLocationThenID)
{
    // Left out: the lighting page only on the second collection, a descriptor cut short, no registry ID.
    addDock(mindCube).usagePages = {0x0001, 0xFF01};
    addDock(mindCube).reportDescriptor.resize(10);
    addDock(mindCube).registryID.reset();
    const RGBDevice sameLocation {1, 0x1044, 0x7A27, mindCube.locationID, "HOLTEK", "USB Dock", 8};
    addDock(sameLocation);
    EXPECT_THAT(transport.list(), ElementsAre(forgeCube, sameLocation, mindCube));
}

TEST_F(HIDTransportTest, ApplySendsTheSaveOnlyAfterAConfirmedReadBack)
{
    const LightingSettings answered {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};
    transport.apply(answered, mindCube, true);
    EXPECT_THAT(system->log,
                ElementsAre("list", "open 2", "set 2 C9 02 32 02 00 00 00 00", "sleep 100",
                            "set 2 CD FF 64 00 00 00 00 00", "sleep 100", "set 2 00 CB 00 00 00 00 00 00", "sleep 100",
                            "get 2", "set 2 00 CA 00 00 00 00 00 00", "sleep 100", "get 2",
                            "set 2 B6 00 00 00 00 00 00 00", "sleep 100", "close 2"));
    system->log.clear();
    LightingSettings other = answered;
    other.brightness = 60;
    EXPECT_THROW(transport.apply(other, mindCube, true), ProtocolError);
    EXPECT_EQ(
        std::ranges::count_if(system->log, [](const std::string& entry) { return entry.starts_with("set 2 B6"); }), 0);
}

TEST_F(HIDTransportTest, ReadAndColoursSendTheseReportsInRegistryIDOrderPausingAfterEachAndClose)
{
    transport.read(mindCube);
    EXPECT_THAT(system->log,
                ElementsAre("list", "open 2", "set 2 00 CB 00 00 00 00 00 00", "sleep 100", "get 2",
                            "set 2 00 CA 00 00 00 00 00 00", "sleep 100", "get 2", "close 2"));
    system->log.clear();
    transport.writeColors({{forgeCube, {0x44, 0x55, 0x66}}, {mindCube, {0x11, 0x22, 0x33}}});
    EXPECT_THAT(system->log,
                ElementsAre("list", "open 2", "set 2 CD 11 22 33 00 00 00 00", "sleep 10", "close 2", "open 7",
                            "set 7 01 C8 44 55 66 08 01 00", "sleep 10", "close 7"));
}

TEST_F(HIDTransportTest, AFailureOrRefusalReachesTheUserAndNothingIsOpenedOrSentAfterIt)
{
    const RGBDevice unknown {7, 0x1044, 0x1234, 0x01000000, "HOLTEK", "USB Dock", 8};
    const RGBDevice moved {7, 0x1044, 0x7A3E, 0x03000000, "HOLTEK", "USB Dock", 8};
    const std::string unsupported = "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。";
    const std::string checkHint = "请检查设备连接；若打开了其他调灯软件，请先退出。";
    const std::string busy = "设备可能正被其他调灯软件占用。";
    const std::function<void()> read = [&] { transport.read(mindCube); };
    const std::function<void()> colors = [&] { transport.writeColors({{forgeCube, {}}, {mindCube, {}}}); };
    const std::function<void()> readAShortAnswer = [&] {
        system->answers[0xCB].resize(7);
        read();
    };
    const LightingSettings wave {true, LightingEffect::wave, 50, 3, {}};
    const struct {
        std::string failing; // the call it fails at; none when refused before any dock is opened
        std::uint32_t status;
        std::function<void()> call;
        std::string expected;
    } cases[] = {
        {"", 0, [&] { transport.read(unknown); }, unsupported},
        {"", 0, [&] { transport.apply(wave, forgeCube, true); }, "灯光参数超出支持范围。"},
        {"", 0, [&] { transport.writeColors(DockColors()); }, unsupported},
        {"", 0,
         [&] {
             transport.writeColors({{mindCube, {}}, {unknown, {}}});
         },
         unsupported},
        {"", 0,
         [&] {
             transport.writeColors({{forgeCube, {}}, {moved, {}}});
         },
         unsupported},
        {"", 0, [&] { transport.read(moved); }, "所选设备已断开或身份发生变化，请重新选择。"},
        {"list", IOStatus::notPermitted, read, "打开灯光接口失败（0xE00002E2）。系统拒绝访问该 USB 接口。"},
        {"open 2", IOStatus::exclusiveAccess, read, "连接所选设备失败（0xE00002C5）。" + busy},
        {"get 2", IOStatus::general, read, "读取灯光数据失败（0xE00002BC）。" + checkHint},
        {"open 7", IOStatus::exclusiveAccess, colors, "连接实时灯光设备失败（0xE00002C5）。" + busy},
        {"set 2 CD 00 00 00 00 00 00 00", IOStatus::timeout, colors, "发送灯光命令失败（0xE00002D6）。" + checkHint},
        // A short answer is refused at once, before the second request.
        {"get 2", 0, readAShortAnswer, "设备返回的灯光数据格式不匹配，未将其作为当前设置。"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.expected);
        system->log.clear();
        system->faults = {{testCase.failing, testCase.status}};
        EXPECT_THAT(testCase.call, ::testing::ThrowsMessage<UserFacingError>(testCase.expected));
        auto rest = std::ranges::find(system->log, testCase.failing);
        rest = rest == system->log.end() ? system->log.begin() : std::next(rest);
        EXPECT_TRUE(
            std::all_of(rest, system->log.end(), [](auto& e) { return e == "list" || e.starts_with("close"); }));
        EXPECT_EQ(system->openConnections, 0);
    }
}

} // namespace
} // namespace kavrin
