#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace kavrin {
namespace {

using ::testing::Return;

class MockDockLightingIO : public DockLightingIO {
public:
    MOCK_METHOD(std::vector<RGBDevice>, list, (), (override));
    MOCK_METHOD(LightingSettings, read, (const RGBDevice&), (override));
    MOCK_METHOD(LightingSettings, apply, (const LightingSettings&, const RGBDevice&, bool), (override));
    MOCK_METHOD(void, writeColors, (const DockColors&), (override));
};

const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x03240000, "HOLTEK", "Dock\xFF", 8};
const RGBDevice mindCube {18446744073709551615ULL, 0x0414, 0x7A61, 0x01130000, "", "USB-HID Device", 8};
const LightingSettings orangeBreathing {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};

class LauncherTest : public ::testing::Test {
protected:
    int run(const std::vector<std::string>& arguments)
    {
        out.str("");
        err.str("");
        return Launcher::main(
            arguments, [this] { return io; }, out, err);
    }

    std::shared_ptr<::testing::StrictMock<MockDockLightingIO>> io
        = std::make_shared<::testing::StrictMock<MockDockLightingIO>>();
    std::ostringstream out, err;
};

TEST_F(LauncherTest, PrintsUsageWithoutMakingATransportForHelpOrNoCommand)
{
    const TransportFactory unwanted = []() -> std::shared_ptr<DockLightingIO> { throw std::logic_error("made"); };
    for (const std::vector<std::string>& arguments : {std::vector<std::string> {"--read", "--help"}, {"--LIST"}}) {
        out.str("");
        EXPECT_EQ(Launcher::main(arguments, unwanted, out, err), 0);
        EXPECT_TRUE(out.str().starts_with("KAVRIN RGB Studio\n--list")); // RunLauncher.cmake checks it all
    }
}

TEST_F(LauncherTest, ListPrintsSortedKeysWithOddNameBytesReplacedAndAFailureOnOneLine)
{
    EXPECT_CALL(*io, list())
        .WillOnce(::testing::Throw(std::runtime_error("out of memory")))
        .WillOnce(Return(std::vector {forgeCube}));
    EXPECT_EQ(run({"--list"}), 1);
    EXPECT_EQ(err.str(), "out of memory\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(run({"--list"}), 0);
    EXPECT_EQ(out.str(),
              "[\n  {\n    \"featureBytes\": 8,\n    \"id\": 7,\n    \"locationID\": 52690944,\n"
              "    \"manufacturer\": \"HOLTEK\",\n    \"product\": \"Dock\xEF\xBF\xBD\",\n"
              "    \"productID\": 31294,\n    \"vendorID\": 4164\n  }\n]\n");
}

TEST_F(LauncherTest, ReadChoosesTheDockByDeviceIDOrByItBeingTheOnlyOne)
{
    const std::string ambiguous = "检测到多台设备，请使用 --device 指定设备 ID。\n";
    RGBDevice unknownModel = forgeCube;
    unknownModel.productID = 0x1234;
    const std::vector<RGBDevice> both {forgeCube, mindCube};
    const struct {
        std::vector<std::string> arguments;
        std::vector<RGBDevice> listed;
        std::optional<RGBDevice> read;
        std::string error;
    } cases[] = {
        {{"--read"}, {forgeCube}, forgeCube, ""},
        {{"--read"}, {unknownModel}, {}, "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。\n"},
        {{"--device", "18446744073709551615", "--list", "--read"}, both, mindCube, ""},
        {{"--read", "--device"}, {forgeCube}, forgeCube, ""},
        {{"--read", "--device", "7x"}, both, {}, ambiguous},
        {{"--read", "--device", "18446744073709551616"}, both, {}, ambiguous},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        EXPECT_CALL(*io, list()).WillOnce(Return(testCase.listed));
        if (testCase.read) {
            EXPECT_CALL(*io, read(*testCase.read)).WillOnce(Return(orangeBreathing));
        }
        EXPECT_EQ(run(testCase.arguments), testCase.read ? 0 : 1);
        EXPECT_EQ(err.str(), testCase.error);
        EXPECT_EQ(out.str(), testCase.read ? nlohmann::json(orangeBreathing).dump(2) + "\n" : "");
        ::testing::Mock::VerifyAndClearExpectations(io.get());
    }
}

} // namespace
} // namespace kavrin
