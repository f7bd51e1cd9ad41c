#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace kavrin {
namespace {

using ::testing::_;
using ::testing::Return;
using ::testing::StrictMock;
using ::testing::Throw;

class MockDockLightingIO : public DockLightingIO {
public:
    MOCK_METHOD(std::vector<RGBDevice>, list, (), (override));
    MOCK_METHOD(LightingSettings, read, (const RGBDevice&), (override));
    MOCK_METHOD(LightingSettings, apply, (const LightingSettings&, const RGBDevice&, bool), (override));
    MOCK_METHOD(void, writeColors, (const DockColors&), (override));
};

constexpr const char* usageText = "KAVRIN RGB Studio\n"
                                  "--list 列出兼容设备（不发送灯光命令）\n"
                                  "--read [--device REGISTRY_ID] 读取灯光设置\n"
                                  "--demo 打开演示界面（不访问 USB）\n";
constexpr const char* noDeviceText = "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n";
constexpr const char* ambiguousText = "检测到多台设备，请使用 --device 指定设备 ID。\n";

const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x03240000, "HOLTEK", "USB Dock", 8};
const RGBDevice mindCube {9, 0x0414, 0x7A61, 0x01130000, "", "USB-HID Device", 8};
const LightingSettings orangeBreathing {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};

class LauncherTest : public ::testing::Test {
protected:
    int run(const std::vector<std::string>& arguments)
    {
        return Launcher::main(
            arguments,
            [this] {
                ++transportsMade;
                return io;
            },
            out, err);
    }

    std::shared_ptr<StrictMock<MockDockLightingIO>> io = std::make_shared<StrictMock<MockDockLightingIO>>();
    std::ostringstream out;
    std::ostringstream err;
    int transportsMade = 0;
};

TEST_F(LauncherTest, PrintsUsageWithoutTouchingDocksForHelpOrNoCommand)
{
    const std::vector<std::vector<std::string>> cases {
        {"--help"}, {"--list", "--help"}, {"--read", "--device", "7", "--help"},
        {},         {"--demo"},           {"--LIST", "-l", "list"},
    };
    for (const auto& arguments : cases) {
        out.str("");
        EXPECT_EQ(run(arguments), 0);
        EXPECT_EQ(out.str(), usageText);
    }
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(transportsMade, 0);
}

TEST_F(LauncherTest, ListPrintsTheTransportsDevicesAsJSONWithSortedKeys)
{
    EXPECT_CALL(*io, list()).WillOnce(Return(std::vector {mindCube, forgeCube}));
    EXPECT_EQ(run({"--demo", "--list"}), 0);
    EXPECT_EQ(out.str(), R"([
  {
    "featureBytes": 8,
    "id": 9,
    "locationID": 18022400,
    "manufacturer": "",
    "product": "USB-HID Device",
    "productID": 31329,
    "vendorID": 1044
  },
  {
    "featureBytes": 8,
    "id": 7,
    "locationID": 52690944,
    "manufacturer": "HOLTEK",
    "product": "USB Dock",
    "productID": 31294,
    "vendorID": 4164
  }
]
)");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(transportsMade, 1);
}

TEST_F(LauncherTest, ListOfNoDocksIsAnEmptyArrayAndNamesThatAreNotUTF8StillPrint)
{
    RGBDevice oddName = forgeCube;
    oddName.product = "Dock\xFF";
    EXPECT_CALL(*io, list()).WillOnce(Return(std::vector<RGBDevice> {})).WillOnce(Return(std::vector {oddName}));
    EXPECT_EQ(run({"--list"}), 0);
    EXPECT_EQ(out.str(), "[]\n");
    out.str("");
    EXPECT_EQ(run({"--list"}), 0);
    EXPECT_THAT(out.str(),
                ::testing::HasSubstr(R"("product": "Dock)"
                                     "\xEF\xBF\xBD"
                                     R"(")"));
}

TEST_F(LauncherTest, ReadChoosesTheDockByDeviceIDOrByItBeingTheOnlyOne)
{
    const std::vector<RGBDevice> both {forgeCube, mindCube};
    const std::vector<RGBDevice> one {forgeCube};
    const struct {
        std::vector<std::string> arguments;
        std::vector<RGBDevice> listed;
        std::optional<RGBDevice> read;
        const char* error;
    } cases[] = {
        {{"--read"}, one, forgeCube, ""},
        {{"--read"}, both, std::nullopt, ambiguousText},
        {{"--read"}, {}, std::nullopt, noDeviceText},
        {{"--read", "--device", "9"}, both, mindCube, ""},
        {{"--device", "9", "--list", "--read"}, both, mindCube, ""},
        {{"--read", "--device", "8"}, one, std::nullopt, noDeviceText},
        {{"--read", "--device"}, one, forgeCube, ""},
        {{"--read", "--device", "abc"}, one, forgeCube, ""},
        {{"--read", "--device", "9x"}, both, std::nullopt, ambiguousText},
        {{"--read", "--device", "18446744073709551616"}, one, forgeCube, ""},
        {{"--read", "--device", "--device", "9"}, both, std::nullopt, ambiguousText},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        out.str("");
        err.str("");
        EXPECT_CALL(*io, list()).WillOnce(Return(testCase.listed));
        if (testCase.read) {
            EXPECT_CALL(*io, read(*testCase.read)).WillOnce(Return(orangeBreathing));
        }
        EXPECT_EQ(run(testCase.arguments), testCase.read ? 0 : 1);
        EXPECT_EQ(err.str(), testCase.error);
        EXPECT_EQ(out.str().empty(), !testCase.read);
        ::testing::Mock::VerifyAndClearExpectations(io.get());
    }
}

TEST_F(LauncherTest, ReadPrintsTheSettingsAsOneJSONObject)
{
    RGBDevice largestID = mindCube;
    largestID.id = 18446744073709551615ULL;
    EXPECT_CALL(*io, list()).WillOnce(Return(std::vector {forgeCube, largestID}));
    EXPECT_CALL(*io, read(largestID)).WillOnce(Return(orangeBreathing));
    EXPECT_EQ(run({"--read", "--device", "18446744073709551615"}), 0);
    EXPECT_EQ(out.str(), R"({
  "brightness": 50,
  "color": {
    "blue": 0,
    "green": 100,
    "red": 255
  },
  "effect": 2,
  "isOn": true,
  "speed": 3
}
)");
}

TEST_F(LauncherTest, FailuresPrintOneLineOnStandardErrorAndExitWith1)
{
    RGBDevice unknownModel = forgeCube;
    unknownModel.productID = 0x1234;
    const struct {
        const char* failure;
        std::vector<std::string> arguments;
        std::function<void(MockDockLightingIO&)> script;
        std::string error;
    } cases[] = {
        {"enumeration",
         {"--list"},
         [](MockDockLightingIO& io) {
             EXPECT_CALL(io, list()).WillOnce(Throw(TransportError::io("打开灯光接口", IOStatus::notPermitted)));
         },
         "打开灯光接口失败（0xE00002E2）。系统拒绝访问该 USB 接口。\n"},
        {"no known model",
         {"--read"},
         [&](MockDockLightingIO& io) { EXPECT_CALL(io, list()).WillOnce(Return(std::vector {unknownModel})); },
         "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。\n"},
        {"malformed answer",
         {"--read"},
         [](MockDockLightingIO& io) {
             EXPECT_CALL(io, list()).WillOnce(Return(std::vector {forgeCube}));
             EXPECT_CALL(io, read(_)).WillOnce(Throw(ProtocolError::invalidResponse()));
         },
         "设备返回的灯光数据格式不匹配，未将其作为当前设置。\n"},
        {"error of another kind",
         {"--read"},
         [](MockDockLightingIO& io) { EXPECT_CALL(io, list()).WillOnce(Throw(std::runtime_error("out of memory"))); },
         "out of memory\n"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.failure);
        err.str("");
        testCase.script(*io);
        EXPECT_EQ(run(testCase.arguments), 1);
        EXPECT_EQ(err.str(), testCase.error);
        EXPECT_EQ(out.str(), "");
        ::testing::Mock::VerifyAndClearExpectations(io.get());
    }
}

} // namespace
} // namespace kavrin
