#include "../device/FakeHIDSystem.hpp"

#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kavrin {
namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

const std::string hint = "请检查设备连接；若打开了其他调灯软件，请先退出。";
const std::string partly = " 部分指令可能已生效，请先读取这台设备。";
// Breathing, brightness 45, speed 3, FF6400: the older dock rounds the brightness to 50.
const std::string breathing45
    = R"({"isOn":true,"effect":2,"brightness":45,"speed":3,"color":{"red":255,"green":100,"blue":0}})";
const std::string with50
    = R"({"isOn":true,"effect":2,"brightness":50,"speed":3,"color":{"red":255,"green":100,"blue":0}})";
const Bytes forgeBreathing50 {0x00, 0xCB, 0x02, 5, 7, 0, 0, 0};
const Bytes forgeSolid100 {0x00, 0xCB, 0x01, 10, 5, 0, 0, 0};
const Bytes orange {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0};

// The launcher over the real transport on scripted docks: an older dock (7) listed before a newer one (2).
class ApplyCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        system->add(forgeCube);
        system->add(mindCube);
        std::ofstream(settingsPath) << breathing45;
    }
    void TearDown() override { std::filesystem::remove(settingsPath); }

    int run(std::vector<std::string> arguments)
    {
        out.str(""), err.str("");
        const auto transport = std::make_shared<HIDTransport>(
            system, [this](auto pause) { system->log.push_back("sleep " + std::to_string(pause.count())); });
        const WindowRunner noWindow = [](bool) {
            ADD_FAILURE() << "a command opened the window";
            return 99;
        };
        return Launcher::main(
            arguments, [&] { return transport; }, noWindow, out, err);
    }

    // The reports sent, in order.
    std::vector<std::string> sent() const
    {
        std::vector<std::string> sets;
        std::ranges::copy_if(system->log, std::back_inserter(sets),
                             [](auto& entry) { return entry.starts_with("set"); });
        return sets;
    }

    const RGBDevice forgeCube {7, 0x1044, 0x7A3E, 0x01000000, "HOLTEK", "USB Dock", 8};
    const RGBDevice mindCube {2, 0x0414, 0x7A61, 0x02000000, "HOLTEK", "USB Dock", 8};
    const std::string settingsPath
        = (std::filesystem::temp_directory_path() / ("kavrin-apply-" + std::to_string(::getpid()) + ".json")).string();
    std::shared_ptr<FakeHIDSystem> system = std::make_shared<FakeHIDSystem>();
    std::ostringstream out, err;
};

TEST_F(ApplyCommandTest, OneDockIsWrittenReadBackThenSavedAndTheReadBackPrinted)
{
    system->queued["7"] = {forgeBreathing50, orange};
    EXPECT_EQ(run({"--read", "--apply", settingsPath, "--device", "7", "--persist", "--list"}), 0);
    EXPECT_THAT(system->log,
                ElementsAre("list", "list", "open 7", "set 7 01 C8 FF 64 00 08 01 00", "sleep 100",
                            "set 7 01 C9 02 05 07 01 08 00", "sleep 100", "set 7 00 CB 00 00 00 00 00 00", "sleep 100",
                            "get 7", "set 7 00 CA 08 00 00 00 00 00", "sleep 100", "get 7",
                            "set 7 01 B6 00 00 00 00 00 00", "sleep 100", "close 7"));
    // What the dock read back, not what the file asked for.
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::parse(with50));
    EXPECT_EQ(err.str(), "");
}

// Where a one-dock apply fails decides whether the user is told part of it may have taken effect.
TEST_F(ApplyCommandTest, AFailureAfterTheFirstWriteSaysSomeMayHaveTakenEffect)
{
    const std::string mismatch = "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。";
    const struct {
        std::string failing; // the call that fails, with IOStatus::general unless it is an open
        Bytes mode; // the older dock's mode answer
        std::string expected;
        std::size_t sent;
    } cases[] = {
        {"", forgeSolid100, mismatch + partly, 4}, // read back, not saved
        {"open 7", forgeBreathing50, "连接所选设备失败（0xE00002E2）。系统拒绝访问该 USB 接口。", 0},
        {"set 7 01 C8 FF 64 00 08 01 00", forgeBreathing50, "发送灯光命令失败（0xE00002BC）。" + hint + partly, 1},
        {"set 7 01 B6 00 00 00 00 00 00", forgeBreathing50, "发送灯光命令失败（0xE00002BC）。" + hint + partly, 5},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.expected);
        system->log.clear();
        system->queued["7"] = {testCase.mode, orange};
        system->faults
            = {{testCase.failing, testCase.failing == "open 7" ? IOStatus::notPermitted : IOStatus::general}};
        EXPECT_EQ(run({"--apply", settingsPath, "--device", "7", "--persist"}), 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), testCase.expected + "\n");
        EXPECT_EQ(sent().size(), testCase.sent);
    }
}

// The newer dock's first command fails: both docks go back to what they held, in the order they were
// written, the failing one last; neither is asked to save.
TEST_F(ApplyCommandTest, AllRollsEveryTouchedDockBackInWriteOrder)
{
    system->queued["7"] = {forgeSolid100, orange, forgeBreathing50, orange, forgeSolid100, orange};
    // Speed 3 of 10 on the older dock is 2 of 6 on the newer; brightness on the older dock's step of 50.
    system->faults = {{"set 2 C9 02 32 01 00 00 00 00", IOStatus::general}};
    EXPECT_EQ(run({"--apply", settingsPath, "--all"}), 1);
    const std::string readForge[] = {"set 7 00 CB 00 00 00 00 00 00", "set 7 00 CA 08 00 00 00 00 00"};
    const std::string readMind[] = {"set 2 00 CB 00 00 00 00 00 00", "set 2 00 CA 00 00 00 00 00 00"};
    const std::vector<std::string> expected {
        readForge[0], readForge[1], readMind[0], readMind[1], // capture
        "set 7 01 C8 FF 64 00 08 01 00", "set 7 01 C9 02 05 07 01 08 00", readForge[0], readForge[1],
        "set 2 C9 02 32 01 00 00 00 00", // fails
        "set 7 01 C8 FF 64 00 08 01 00", "set 7 01 C9 01 0A 05 01 08 00", readForge[0], readForge[1],
        // The newer dock held breathing 50 at speed 3 (its scripted answer), which is what goes back.
        "set 2 C9 02 32 02 00 00 00 00", "set 2 CD FF 64 00 00 00 00 00", readMind[0], readMind[1]};
    EXPECT_EQ(sent(), expected);
    const std::string message = "同步未完成：发送灯光命令失败（0xE00002BC）。" + hint + " 同步未完成，已还原原设置。";
    EXPECT_EQ(nlohmann::json::parse(out.str()),
              nlohmann::json::parse(R"([{"id":7,"success":false,"message":")" + message
                                    + R"("},{"id":2,"success":false,"message":")" + message + R"("}])"));
    EXPECT_EQ(err.str(), "");
}

// Nothing is listed, let alone sent, for a command line that cannot be carried out or a file that
// holds no settings; a dock's model refuses before anything is sent.
TEST_F(ApplyCommandTest, RefusalsReachNoDock)
{
    const struct {
        std::vector<std::string> arguments;
        std::string err;
        std::vector<std::string> log;
    } cases[] = {
        {{"--apply", "--persist", settingsPath}, "--apply 后面需要设置文件的路径，或用 - 表示标准输入。\n", {}},
        {{"--apply", settingsPath, "--device", "7x"}, "--device 后面需要十进制的设备 ID，即 --list 列出的 id。\n", {}},
        {{"--apply", settingsPath, "--all", "--device", "7"}, "--all 同步全部设备，不能与 --device 同时使用。\n", {}},
        {{"--apply", settingsPath, "--all", "--persist"},
         "--all 不会让设备保存设置，不能与 --persist 同时使用。\n",
         {}},
        {{"--apply", settingsPath + ".missing"}, "未找到设置文件“" + settingsPath + ".missing”。\n", {}},
        {{"--apply", settingsPath}, "检测到多台设备，请使用 --device 指定设备 ID。\n", {"list"}},
        {{"--apply", settingsPath, "--device", "3"}, "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n", {"list"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(::testing::PrintToString(testCase.arguments));
        system->log.clear();
        EXPECT_EQ(run(testCase.arguments), testCase.err.starts_with("--") ? 2 : 1);
        EXPECT_EQ(out.str() + err.str(), testCase.err);
        EXPECT_EQ(system->log, testCase.log);
    }
    std::ofstream(settingsPath)
        << R"({"isOn":true,"effect":8,"brightness":45,"speed":3,"color":{"red":0,"green":0,"blue":0}})";
    system->log.clear();
    EXPECT_EQ(run({"--apply", settingsPath, "--all"}), 1);
    EXPECT_EQ(err.str(), "灯光参数超出支持范围。\n"); // the older dock has no wave
    EXPECT_EQ(sent(), std::vector<std::string> {});
}

} // namespace
} // namespace kavrin
