#include "FakeHIDSystem.hpp"
#include "UserFacingErrorText.hpp"

#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace kavrin {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* disconnectedText = "所选设备已断开或身份发生变化，请重新选择。";
constexpr const char* unsupportedText = "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。";
constexpr const char* invalidResponseText = "设备返回的灯光数据格式不匹配，未将其作为当前设置。";
constexpr const char* reconnectHint = "请检查设备连接；若打开了其他调灯软件，请先退出。";

const LightingSettings orangeBreathing {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};

class HIDTransportTest : public ::testing::Test {
protected:
    RGBDevice listed(std::uint64_t registryID)
    {
        for (const RGBDevice& device : transport.list()) {
            if (device.id == registryID) {
                return device;
            }
        }
        throw std::out_of_range("dock not listed");
    }

    std::vector<std::uint64_t> listedIDs()
    {
        std::vector<std::uint64_t> ids;
        for (const RGBDevice& device : transport.list()) {
            ids.push_back(device.id);
        }
        return ids;
    }

    std::shared_ptr<FakeHIDSystem> system = std::make_shared<FakeHIDSystem>();
    HIDTransport transport {system, system->sleep()};
};

TEST_F(HIDTransportTest, ListLeavesOutEveryInterfaceThatIsNotADocksLightingInterface)
{
    std::vector<std::uint8_t> numbered = lightingDescriptor();
    numbered.insert(numbered.begin() + 18, {0x85, 0x01});
    std::vector<std::uint8_t> nineBytes = lightingDescriptor();
    nineBytes[17] = 0x09;

    const struct {
        const char* fault;
        std::function<void(HIDInterface&)> spoil;
    } cases[] = {
        {"vendor of one model, product of the other", [](HIDInterface& i) { i.vendorID = 0x1044; }},
        {"unknown product", [](HIDInterface& i) { i.productID = 0x7A62; }},
        {"no vendor-defined collection", [](HIDInterface& i) { i.usagePages = {0x0001}; }},
        {"vendor page only on the second collection",
         [](HIDInterface& i) {
             i.usagePages = {0x0001, 0xFF01};
         }},
        {"descriptor declares a report ID", [&](HIDInterface& i) { i.reportDescriptor = numbered; }},
        {"9-byte feature report", [&](HIDInterface& i) { i.reportDescriptor = nineBytes; }},
        {"descriptor cut short", [](HIDInterface& i) { i.reportDescriptor.resize(15); }},
        {"no descriptor", [](HIDInterface& i) { i.reportDescriptor.clear(); }},
        {"no registry ID", [](HIDInterface& i) { i.registryID.reset(); }},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        system->nodes.clear();
        system->addDock(ControllerProfile::forgeCubeLegacy, 1, 0x01000000);
        testCase.spoil(system->addDock(ControllerProfile::mindCube, 2, 0x02000000).interface);
        EXPECT_THAT(listedIDs(), ElementsAre(1u));
    }
}

TEST_F(HIDTransportTest, ListDescribesADockWithoutNamesByTheDefaultNames)
{
    HIDInterface& interface = system->addDock(ControllerProfile::mindCube, 0xB, 0x03240000).interface;
    interface.manufacturer.reset();
    interface.product.reset();
    EXPECT_THAT(transport.list(), ElementsAre(RGBDevice {0xB, 0x0414, 0x7A61, 0x03240000, "", "USB-HID Device", 8}));
}

TEST_F(HIDTransportTest, ListSortsByLocationThenRegistryIDWhateverTheEnumerationOrder)
{
    system->addDock(ControllerProfile::forgeCubeLegacy, 5, 0x21220000);
    system->addDock(ControllerProfile::mindCube, 9, 0x01130000);
    system->addDock(ControllerProfile::forgeCubeLegacy, 3, 0x01130000);
    EXPECT_THAT(listedIDs(), ElementsAre(3u, 9u, 5u));
    std::ranges::reverse(system->nodes);
    EXPECT_THAT(listedIDs(), ElementsAre(3u, 9u, 5u));
}

TEST_F(HIDTransportTest, EnumerationFailureCarriesTheStatusAndItsHint)
{
    system->enumerationStatus = IOStatus::notPermitted;
    EXPECT_EQ(errorTextOf([&] { transport.list(); }), "打开灯光接口失败（0xE00002E2）。系统拒绝访问该 USB 接口。");
}

TEST_F(HIDTransportTest, ReadSendsTheModelsTwoRequestsAndPausesAfterEach)
{
    const struct {
        ControllerProfile profile;
        const char* colorRequest;
    } cases[] = {
        {ControllerProfile::forgeCubeLegacy, "set 1 00 CA 08 00 00 00 00 00"},
        {ControllerProfile::mindCube, "set 1 00 CA 00 00 00 00 00 00"},
    };
    for (const auto& testCase : cases) {
        system->nodes.clear();
        system->addDock(testCase.profile, 1, 0x01000000);
        const RGBDevice device = listed(1);
        system->log.clear();
        EXPECT_EQ(transport.read(device), orangeBreathing);
        EXPECT_THAT(system->log,
                    ElementsAre("open 1", "set 1 00 CB 00 00 00 00 00 00", "sleep 100", "get 1", testCase.colorRequest,
                                "sleep 100", "get 1", "close 1"));
    }
}

TEST_F(HIDTransportTest, ApplySendsTheModelsCommandsReadsBackAndSavesOnlyWhenAsked)
{
    const LightingSettings requested {true, LightingEffect::solid, 45, 3, {0x10, 0x20, 0x30}};
    const struct {
        ControllerProfile profile;
        bool persist;
        std::vector<std::string> commands;
        std::int64_t brightnessReadBack;
    } cases[] = {
        {ControllerProfile::forgeCubeLegacy,
         true,
         {"set 1 01 C8 10 20 30 08 01 00", "set 1 01 C9 01 05 07 01 08 00", "set 1 01 B6 00 00 00 00 00 00"},
         50},
        {ControllerProfile::mindCube, false, {"set 1 C9 01 2D 02 00 00 00 00", "set 1 CD 10 20 30 00 00 00 00"}, 45},
    };
    for (const auto& testCase : cases) {
        system->nodes.clear();
        const auto dock = system->addDock(testCase.profile, 1, 0x01000000).dock;
        const RGBDevice device = listed(1);
        system->log.clear();

        LightingSettings expected = requested;
        expected.brightness = testCase.brightnessReadBack;
        EXPECT_EQ(transport.apply(requested, device, testCase.persist), expected);

        std::vector<std::string> sets; // without the requests of the read-back
        std::ranges::copy_if(system->log, std::back_inserter(sets), [](const std::string& entry) {
            return entry.starts_with("set ") && !entry.starts_with("set 1 00");
        });
        EXPECT_EQ(sets, testCase.commands);
        EXPECT_EQ(dock->saved(), testCase.persist);
        EXPECT_EQ(std::ranges::count(system->log, std::string("sleep 100")), testCase.persist ? 5 : 4);
        EXPECT_EQ(system->log.back(), "close 1");
    }
}

TEST_F(HIDTransportTest, RequestsThatCannotSucceedAreRefusedBeforeAnyUSBAccess)
{
    const RGBDevice forgeCube {1, 0x1044, 0x7A3E, 0x01000000, "HOLTEK", "FORGE CUBE", 8};
    RGBDevice unknown = forgeCube;
    unknown.productID = 0x1234;
    LightingSettings wave = orangeBreathing;
    wave.effect = LightingEffect::wave;

    EXPECT_EQ(errorTextOf([&] { transport.apply(wave, forgeCube, false); }), "灯光参数超出支持范围。");
    EXPECT_EQ(errorTextOf([&] { transport.apply(orangeBreathing, unknown, false); }), unsupportedText);
    EXPECT_EQ(errorTextOf([&] { transport.read(unknown); }), unsupportedText);
    EXPECT_EQ(system->enumerations, 0u);
}

TEST_F(HIDTransportTest, ADockWhoseDescriptionChangedIsDisconnectedAndNotOpened)
{
    system->addDock(ControllerProfile::forgeCubeLegacy, 1, 0x01130000);
    const RGBDevice device = listed(1);
    system->node(1).interface.locationID = 0x01140000;
    EXPECT_EQ(errorTextOf([&] { transport.read(device); }), disconnectedText);
    system->nodes.clear();
    EXPECT_EQ(errorTextOf([&] { transport.apply(orangeBreathing, device, false); }), disconnectedText);
    EXPECT_THAT(system->log, IsEmpty());
}

TEST_F(HIDTransportTest, ReadFailuresReachTheUserWithTheConnectionClosed)
{
    const struct {
        const char* fault;
        std::function<void(FakeHIDSystem&)> inject;
        std::string expected;
    } cases[] = {
        {"open not permitted", [](FakeHIDSystem& s) { s.node(1).openStatus = IOStatus::notPermitted; },
         "连接所选设备失败（0xE00002E2）。系统拒绝访问该 USB 接口。"},
        {"open seized by another program", [](FakeHIDSystem& s) { s.node(1).openStatus = IOStatus::exclusiveAccess; },
         "连接所选设备失败（0xE00002C5）。设备可能正被其他调灯软件占用。"},
        {"dock gone between enumeration and open", [](FakeHIDSystem& s) { s.node(1).openStatus = IOStatus::noDevice; },
         std::string("连接所选设备失败（0xE00002C0）。") + reconnectHint},
        {"second request not delivered",
         [](FakeHIDSystem& s) {
             s.setFault = {{2, IOStatus::timeout}};
         },
         std::string("发送灯光命令失败（0xE00002D6）。") + reconnectHint},
        {"answer not fetched",
         [](FakeHIDSystem& s) {
             s.getFault = {{1, IOStatus::general}};
         },
         std::string("读取灯光数据失败（0xE00002BC）。") + reconnectHint},
        {"7-byte answer", [](FakeHIDSystem& s) { s.answerLength = 7; }, invalidResponseText},
        {"9-byte answer", [](FakeHIDSystem& s) { s.answerLength = 9; }, invalidResponseText},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        system = std::make_shared<FakeHIDSystem>();
        transport = HIDTransport(system, system->sleep());
        system->addDock(ControllerProfile::mindCube, 1, 0x01000000);
        const RGBDevice device = listed(1);
        testCase.inject(*system);
        EXPECT_EQ(errorTextOf([&] { transport.read(device); }), testCase.expected);
        EXPECT_EQ(system->openConnections, 0u);
    }
}

class HIDTransportColorsTest : public HIDTransportTest {
protected:
    void SetUp() override
    {
        system->addDock(ControllerProfile::forgeCubeLegacy, 7, 0x01000000);
        system->addDock(ControllerProfile::mindCube, 2, 0x02000000);
        forgeCube = listed(7);
        mindCube = listed(2);
    }

    RGBDevice forgeCube;
    RGBDevice mindCube;
};

TEST_F(HIDTransportColorsTest, WritesEachDockInRegistryIDOrderWithAShortPause)
{
    transport.writeColors({{forgeCube, {0x44, 0x55, 0x66}}, {mindCube, {0x11, 0x22, 0x33}}});
    EXPECT_THAT(system->log,
                ElementsAre("open 2", "set 2 CD 11 22 33 00 00 00 00", "sleep 10", "close 2", "open 7",
                            "set 7 01 C8 44 55 66 08 01 00", "sleep 10", "close 7"));
}

TEST_F(HIDTransportColorsTest, RefusesUnusableTargetsBeforeAnyUSBAccess)
{
    RGBDevice moved = forgeCube;
    moved.locationID = 0x05000000;
    RGBDevice unknown = forgeCube;
    unknown.id = 8;
    unknown.vendorID = 0x0414;
    const LightColor color {1, 2, 3};
    const std::size_t enumerations = system->enumerations;

    EXPECT_EQ(errorTextOf([&] { transport.writeColors({}); }), unsupportedText);
    EXPECT_EQ(errorTextOf([&] { transport.writeColors({{forgeCube, color}, {moved, color}}); }), unsupportedText);
    EXPECT_EQ(errorTextOf([&] { transport.writeColors({{forgeCube, color}, {unknown, color}}); }), unsupportedText);
    EXPECT_EQ(system->enumerations, enumerations);
}

TEST_F(HIDTransportColorsTest, AMissingTargetFailsBeforeAnythingIsSent)
{
    system->node(2).interface.locationID = 0x03000000;
    EXPECT_EQ(errorTextOf([&] {
                  transport.writeColors({{forgeCube, {1, 2, 3}}, {mindCube, {1, 2, 3}}});
              }),
              disconnectedText);
    EXPECT_THAT(system->log, IsEmpty());
}

TEST_F(HIDTransportColorsTest, AFailureStopsTheRestAndKeepsWhatWasWritten)
{
    const struct {
        const char* fault;
        std::function<void(FakeHIDSystem&)> inject;
        std::string expected;
        std::vector<std::string> log;
    } cases[] = {
        {"second dock cannot be opened",
         [](FakeHIDSystem& s) { s.node(7).openStatus = IOStatus::exclusiveAccess; },
         "连接实时灯光设备失败（0xE00002C5）。设备可能正被其他调灯软件占用。",
         {"open 2", "set 2 CD 01 02 03 00 00 00 00", "sleep 10", "close 2", "open 7"}},
        {"first colour not delivered",
         [](FakeHIDSystem& s) {
             s.setFault = {{1, IOStatus::noDevice}};
         },
         std::string("发送灯光命令失败（0xE00002C0）。") + reconnectHint,
         {"open 2", "set 2 CD 01 02 03 00 00 00 00", "close 2"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        system->log.clear();
        system->setFault.reset();
        system->node(7).openStatus = 0;
        testCase.inject(*system);
        EXPECT_EQ(errorTextOf([&] {
                      transport.writeColors({{forgeCube, {1, 2, 3}}, {mindCube, {1, 2, 3}}});
                  }),
                  testCase.expected);
        EXPECT_THAT(system->log, ElementsAreArray(testCase.log));
        EXPECT_EQ(system->openConnections, 0u);
    }
}

} // namespace
} // namespace kavrin
