#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace kavrin {
namespace {

const LightingSettings orangeBreathing {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};

// Lists `docks` and reads any dock as orange breathing, remembering which; changes nothing.
struct FakeDocks : DockLightingIO {
    std::vector<RGBDevice> list() override { return docks; }
    LightingSettings read(const RGBDevice& dock) override { return readDock = dock, orangeBreathing; }
    LightingSettings apply(const LightingSettings&, const RGBDevice&, bool) override { throw std::logic_error(""); }
    void writeColors(const DockColors&) override { throw std::logic_error(""); }
    std::vector<RGBDevice> docks;
    std::optional<RGBDevice> readDock;
};

// Which command runs on which dock, what reaches standard output and error, and the exit status.
TEST(Launcher, ChoosesTheCommandAndDockAndReportsAFailureOnOneLine)
{
    const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x03240000, "HOLTEK", "Dock\xFF", 8};
    const RGBDevice mindCube {18446744073709551615ULL, 0x0414, 0x7A61, 0x01130000, "", "USB-HID Device", 8};
    const RGBDevice unknownModel {7, 0x1044, 0x1234, 0x03240000, "HOLTEK", "Dock", 8};
    const std::vector<RGBDevice> both {forgeCube, mindCube};
    const std::string usage = "KAVRIN RGB Studio\n--list"; // RunLauncher.cmake checks all of it
    const std::string settings = nlohmann::json(orangeBreathing).dump(2) + "\n";
    const std::string ambiguous = "检测到多台设备，请使用 --device 指定设备 ID。\n";
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::vector<RGBDevice>> listed; // none: making the transport fails
        std::optional<RGBDevice> read;
        std::string out, err;
    } cases[] = {
        {{"--read", "--help"}, {}, {}, usage, ""},
        {{"--LIST"}, {}, {}, usage, ""}, // no command
        {{"--list"}, {}, {}, "", "no transport\n"},
        {{"--list"},
         {{forgeCube}},
         {}, // sorted keys, a name byte that is not UTF-8 replaced
         "[\n  {\n    \"featureBytes\": 8,\n    \"id\": 7,\n    \"locationID\": 52690944,\n"
         "    \"manufacturer\": \"HOLTEK\",\n    \"product\": \"Dock\xEF\xBF\xBD\",\n"
         "    \"productID\": 31294,\n    \"vendorID\": 4164\n  }\n]\n",
         ""},
        {{"--read"}, {{forgeCube}}, forgeCube, settings, ""},
        {{"--read"}, {{unknownModel}}, {}, "", "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。\n"},
        {{"--device", "18446744073709551615", "--list", "--read"}, both, mindCube, settings, ""},
        {{"--read", "--device"}, {{forgeCube}}, forgeCube, settings, ""},
        {{"--read", "--device", "7x"}, both, {}, "", ambiguous},
        {{"--read", "--device", "18446744073709551616"}, both, {}, "", ambiguous},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        const auto io = std::make_shared<FakeDocks>();
        io->docks = testCase.listed.value_or(both);
        const auto make = [&] { return testCase.listed ? io : throw std::runtime_error("no transport"); };
        std::ostringstream out, err;
        EXPECT_EQ(Launcher::main(testCase.arguments, make, out, err), testCase.err.empty() ? 0 : 1);
        EXPECT_EQ(testCase.listed ? out.str() : out.str().substr(0, usage.size()), testCase.out);
        EXPECT_EQ(err.str(), testCase.err);
        EXPECT_EQ(io->readDock, testCase.read);
    }
}

} // namespace
} // namespace kavrin
