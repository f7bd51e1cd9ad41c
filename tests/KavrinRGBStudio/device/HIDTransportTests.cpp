#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <map>

namespace kavrin {
namespace {

using ::testing::ElementsAre;

const std::string unsupportedText = "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。";
const std::string checkHint = "请检查设备连接；若打开了其他调灯软件，请先退出。";

// Scripted docks. Every call is logged in order with the transport's pauses ("list", "open N",
// "set N <bytes>", "get N", "close N", "sleep <ms>"; N the registry ID) and fails with the status
// `faults` gives it. A dock answers the last request it was sent.
class FakeHIDSystem : public HIDSystem {
public:
    HIDInterface& addDock(bool forgeCube, std::uint64_t registryID, std::int64_t locationID)
    {
        // One vendor-page application collection with one unnumbered 8-byte feature report.
        const std::vector<std::uint8_t> descriptor {0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00,
                                                    0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};
        return docks.emplace_back("hidraw" + std::to_string(registryID), registryID, forgeCube ? 0x1044 : 0x0414,
                                  forgeCube ? 0x7A3E : 0x7A61, std::vector<std::uint32_t> {0xFF01}, descriptor,
                                  locationID, "HOLTEK", "USB Dock");
    }

    HIDResult<std::vector<HIDInterface>> interfaces() override { return {call("list"), docks}; }

    HIDResult<std::unique_ptr<HIDConnection>> open(const HIDInterface& interface) override
    {
        const std::uint32_t status = call("open " + std::to_string(*interface.registryID));
        return {status, status != 0 ? nullptr : std::make_unique<Connection>(*this, *interface.registryID)};
    }

    std::vector<HIDInterface> docks;
    // By request byte, as a newer dock answers that is on and breathing orange at 50 % and speed 3 (as 9 - 3).
    std::map<std::uint8_t, std::vector<std::uint8_t>> answers {{0xCB, {0x00, 0xCB, 0x02, 50, 9 - 3, 0, 0, 0}},
                                                               {0xCA, {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0}}};
    std::map<std::string, std::uint32_t> faults;
    std::vector<std::string> log;
    int openConnections = 0;
    std::uint8_t request = 0;

private:
    struct Connection : HIDConnection {
        Connection(FakeHIDSystem& system, std::uint64_t id)
            : system(system)
            , id(std::to_string(id))
        {
            ++system.openConnections;
        }
        ~Connection() override
        {
            --system.openConnections;
            system.log.push_back("close " + id);
        }

        std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) override
        {
            std::string entry = "set " + id;
            for (const std::uint8_t byte : report) {
                entry += {' ', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
            }
            system.request = report[0] == 0x00 ? report[1] : system.request;
            return system.call(entry);
        }

        HIDResult<std::vector<std::uint8_t>> getFeatureReport() override
        {
            const std::uint32_t status = system.call("get " + id);
            return {status, status == 0 ? system.answers[system.request] : std::vector<std::uint8_t> {}};
        }

        FakeHIDSystem& system;
        const std::string id;
    };

    std::uint32_t call(const std::string& entry)
    {
        log.push_back(entry);
        return faults.contains(entry) ? faults.at(entry) : 0;
    }
};

class HIDTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        system->addDock(true, 7, 0x01000000);
        system->addDock(false, 2, 0x02000000);
    }

    std::shared_ptr<FakeHIDSystem> system = std::make_shared<FakeHIDSystem>();
    HIDTransport transport {system,
                            [this](auto pause) { system->log.push_back("sleep " + std::to_string(pause.count())); }};
    const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x01000000, "HOLTEK", "USB Dock", 8};
    const RGBDevice mindCube {2, 0x0414, 0x7A61, 0x02000000, "HOLTEK", "USB Dock", 8};
};

TEST_F(HIDTransportTest, ListLeavesOutWhatIsNotADocksLightingInterfaceAndSortsByLocationThenRegistryID)
{
    system->addDock(false, 9, 0x00130000);
    system->addDock(true, 3, 0x00130000);
    // Left out: the lighting page only on the second collection, a descriptor cut short, no registry ID.
    system->addDock(false, 11, 0).usagePages = {0x0001, 0xFF01};
    system->addDock(false, 12, 0).reportDescriptor.resize(15);
    system->addDock(false, 13, 0).registryID.reset();
    const auto id = [](std::uint64_t id) { return ::testing::Field(&RGBDevice::id, id); };
    EXPECT_THAT(transport.list(), ElementsAre(id(3), id(9), forgeCube, mindCube));
}

TEST_F(HIDTransportTest, ReadAndColoursSendTheseReportsInRegistryIDOrderPausingAfterEachAndClose)
{
    EXPECT_EQ(transport.read(mindCube),
              (LightingSettings {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}}));
    EXPECT_THAT(system->log,
                ElementsAre("list", "open 2", "set 2 00 CB 00 00 00 00 00 00", "sleep 100", "get 2",
                            "set 2 00 CA 00 00 00 00 00 00", "sleep 100", "get 2", "close 2"));
    system->log.clear();
    transport.writeColors({{mindCube, {0x11, 0x22, 0x33}}, {forgeCube, {0x44, 0x55, 0x66}}});
    EXPECT_THAT(system->log,
                ElementsAre("list", "open 2", "set 2 CD 11 22 33 00 00 00 00", "sleep 10", "close 2", "open 7",
                            "set 7 01 C8 44 55 66 08 01 00", "sleep 10", "close 7"));
}

TEST_F(HIDTransportTest, AFailureOrRefusalReachesTheUserAndNothingIsOpenedOrSentAfterIt)
{
    RGBDevice unknown = forgeCube;
    unknown.productID = 0x1234;
    RGBDevice moved = forgeCube;
    moved.locationID = 0x03000000;
    const DockColors withUnknown {{mindCube, {}}, {unknown, {}}}, twiceOneID {{forgeCube, {}}, {moved, {}}};
    const std::string busy = "设备可能正被其他调灯软件占用。";
    const std::function<void()> read = [&] { transport.read(mindCube); };
    const std::function<void()> colors = [&] {
        transport.writeColors({{forgeCube, {1, 2, 3}}, {mindCube, {1, 2, 3}}});
    };
    const struct {
        std::string failing; // the call it fails at; none when refused before any dock is opened
        std::uint32_t status;
        std::function<void()> call;
        std::string expected;
    } cases[] = {
        {"", 0, [&] { transport.read(unknown); }, unsupportedText},
        {"", 0, [&] { transport.writeColors(DockColors()); }, unsupportedText},
        {"", 0, [&] { transport.writeColors(withUnknown); }, unsupportedText},
        {"", 0, [&] { transport.writeColors(twiceOneID); }, unsupportedText},
        {"", 0, [&] { transport.read(moved); }, "所选设备已断开或身份发生变化，请重新选择。"},
        {"list", IOStatus::notPermitted, read, "打开灯光接口失败（0xE00002E2）。系统拒绝访问该 USB 接口。"},
        {"open 2", IOStatus::exclusiveAccess, read, "连接所选设备失败（0xE00002C5）。" + busy},
        {"set 2 00 CA 00 00 00 00 00 00", IOStatus::timeout, read, "发送灯光命令失败（0xE00002D6）。" + checkHint},
        {"get 2", IOStatus::general, read, "读取灯光数据失败（0xE00002BC）。" + checkHint},
        {"open 7", IOStatus::exclusiveAccess, colors, "连接实时灯光设备失败（0xE00002C5）。" + busy},
        {"set 2 CD 01 02 03 00 00 00 00", IOStatus::noDevice, colors, "发送灯光命令失败（0xE00002C0）。" + checkHint},
        {"get 2", 0, [&] { system->answers[0xCB].resize(7), read(); },
         "设备返回的灯光数据格式不匹配，未将其作为当前设置。"},
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
