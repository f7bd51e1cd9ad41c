#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace kavrin {
namespace {

using ::testing::Return;

struct MockDocks : DockLightingIO {
    MOCK_METHOD(std::vector<RGBDevice>, list, (), (override));
    MOCK_METHOD(LightingSettings, read, (const RGBDevice&), (override));
    MOCK_METHOD(LightingSettings, apply, (const LightingSettings&, const RGBDevice&, bool), (override));
    MOCK_METHOD(void, writeColors, (const DockColors&), (override));
};

const WindowRunner noWindow = [](bool) {
    ADD_FAILURE() << "a command opened the window";
    return 99;
};

// Which command runs on which dock, what reaches standard output and error, and the exit status.
TEST(Launcher, ChoosesTheCommandAndDockAndReportsAFailureOnOneLine)
{
    const LightingSettings orangeBreathing {true, LightingEffect::breathing, 50, 3, {0xFF, 0x64, 0x00}};
    const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x03240000, "HOLTEK", "Dock\xFF", 8};
    const RGBDevice mindCube {18446744073709551615ULL, 0x0414, 0x7A61, 0x01130000, "", "USB-HID Device", 8};
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
        {{"--list"}, {}, {}, "", "no transport\n"},
        {{"--list"},
         {{forgeCube}},
         {}, // sorted keys, a name byte that is not UTF-8 replaced
         "[\n  {\n    \"featureBytes\": 8,\n    \"id\": 7,\n    \"locationID\": 52690944,\n"
         "    \"manufacturer\": \"HOLTEK\",\n    \"product\": \"Dock\xEF\xBF\xBD\",\n"
         "    \"productID\": 31294,\n    \"vendorID\": 4164\n  }\n]\n",
         ""},
        {{"--device", "18446744073709551615", "--list", "--read"}, both, mindCube, settings, ""},
        {{"--read", "--device"}, {{forgeCube}}, forgeCube, settings, ""},
        {{"--read", "--device", "7", "--device", "18446744073709551615"}, both, forgeCube, settings, ""},
        {{"--read", "--device", "18446744073709551616"}, both, {}, "", ambiguous}, // overflow: no id
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        // Strict: listing and reading the expected dock is all it may be asked to do.
        const auto io = std::make_shared<::testing::StrictMock<MockDocks>>();
        EXPECT_CALL(*io, list()).WillRepeatedly(Return(testCase.listed.value_or(both)));
        if (testCase.read) {
            EXPECT_CALL(*io, read(*testCase.read)).WillOnce(Return(orangeBreathing));
        }
        const auto make = [&] { return testCase.listed ? io : throw std::runtime_error("no transport"); };
        std::ostringstream out, err;
        EXPECT_EQ(Launcher::main(testCase.arguments, make, noWindow, out, err), testCase.err.empty() ? 0 : 1);
        EXPECT_EQ(testCase.listed ? out.str() : out.str().substr(0, usage.size()), testCase.out);
        EXPECT_EQ(err.str(), testCase.err);
    }
}

TEST(Launcher, WithoutACommandRunsTheWindowWithTheSimulatedDocksOnlyWhenAsked)
{
    const struct {
        std::vector<std::string> arguments;
        std::optional<bool> demo; // none: a command, not the window
    } cases[] = {
        {{}, false},
        {{"--LIST", "--DEMO"}, false},
        {{"--x", "--demo"}, true},
        {{"--demo", "--list"}, std::nullopt},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        std::optional<bool> ranWithDemo;
        const WindowRunner runWindow = [&](bool demo) {
            ranWithDemo = demo;
            return 3;
        };
        const auto io = std::make_shared<MockDocks>();
        EXPECT_CALL(*io, list()).Times(testCase.demo ? 0 : 1).WillRepeatedly(Return(std::vector<RGBDevice> {}));
        std::ostringstream out, err;
        const int status = Launcher::main(
            testCase.arguments, [&] { return io; }, runWindow, out, err);
        EXPECT_EQ(ranWithDemo, testCase.demo);
        EXPECT_EQ(status, testCase.demo ? 3 : 0); // the window's own exit status
        EXPECT_EQ(out.str().empty(), testCase.demo.has_value());
    }
}

// Standard output whose every write fails as a full disk does.
struct FullDevice : std::streambuf {
    int overflow(int) override { return errno = ENOSPC, traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return errno = ENOSPC, 0; }
};

TEST(Launcher, OutputThatCannotBeWrittenFailsWithTheSystemsReason)
{
    for (const std::vector<std::string>& arguments : {std::vector<std::string> {"--help"}, {"--list"}}) {
        const auto io = std::make_shared<MockDocks>();
        EXPECT_CALL(*io, list()).WillRepeatedly(Return(std::vector<RGBDevice> {}));
        FullDevice full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(Launcher::main(
                      arguments, [&] { return io; }, noWindow, out, err),
                  1)
            << arguments[0];
        EXPECT_EQ(err.str(), std::string(std::strerror(ENOSPC)) + "\n");
    }
}

} // namespace
} // namespace kavrin
