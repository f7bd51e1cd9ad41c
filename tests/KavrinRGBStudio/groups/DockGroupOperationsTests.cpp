#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"

#include "SimulatedDocks.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kavrin {
namespace {

using Kind = DockCall::Kind;

const std::string invalidSettingsText = "灯光参数超出支持范围。";
const std::string disconnectedText = "所选设备已断开或身份发生变化，请重新选择。";
const std::string unsupportedText = "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。";

const LightingSettings planned {true, LightingEffect::flashing, 40, 4, LightColor {0x11, 0x22, 0x33}};

std::vector<RGBDevice> devicesOf(const SimulatedDocks& docks)
{
    return docks.listed;
}

DockGroupOperations::Plan planFor(const std::vector<RGBDevice>& targets)
{
    DockGroupOperations::Plan plan;
    for (const RGBDevice& target : targets) {
        plan.emplace(target.id, planned);
    }
    return plan;
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

TEST(DockGroupCapture, RefusesUnusableGroupsWithoutWriting)
{
    const struct {
        const char* fault;
        std::function<void(std::vector<RGBDevice>&, SimulatedDocks&)> arrange;
        std::string expected;
        std::size_t expectedCalls;
    } cases[] = {
        {"no targets", [](auto& targets, auto&) { targets.clear(); }, invalidSettingsText, 0},
        {"repeated registry ID", [](auto& targets, auto&) { targets[2].id = targets[0].id; }, invalidSettingsText, 0},
        {"unknown model", [](auto& targets, auto&) { targets[1].productID = 0x7A62; }, invalidSettingsText, 0},
        {"dock moved to another port", [](auto& targets, auto&) { targets[1].locationID += 1; }, disconnectedText, 1},
        {"no dock listed", [](auto&, auto& docks) { docks.listed.clear(); }, disconnectedText, 1},
        {"dock shows a brightness its model rejects", [](auto&, auto& docks) { docks.state[2].brightness = 5; },
         invalidSettingsText, 3},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        SimulatedDocks docks(SimulatedDocks::threeDocks());
        std::vector<RGBDevice> targets = devicesOf(docks);
        testCase.arrange(targets, docks);
        const auto stateBefore = docks.state;

        EXPECT_EQ(thrownText([&] { DockGroupOperations::capture(docks, targets); }), testCase.expected);
        EXPECT_EQ(docks.calls.size(), testCase.expectedCalls);
        EXPECT_TRUE(docks.callsOf(Kind::apply).empty());
        EXPECT_EQ(docks.state, stateBefore);
    }
}

TEST(DockGroupSynchronize, RefusesAMismatchedPlanBeforeReading)
{
    const struct {
        const char* fault;
        std::function<void(std::vector<RGBDevice>&, DockGroupOperations::Plan&)> arrange;
        std::string expected;
    } cases[] = {
        {"no targets and no plan",
         [](auto& targets, auto& plan) {
             targets.clear();
             plan.clear();
         },
         invalidSettingsText},
        {"plan lacks a target", [](auto&, auto& plan) { plan.erase(2); }, invalidSettingsText},
        {"plan has an extra dock", [](auto&, auto& plan) { plan.emplace(99, planned); }, invalidSettingsText},
        {"plan entry the model rejects", [](auto&, auto& plan) { plan.at(3).effect = LightingEffect::wave; },
         invalidSettingsText},
        {"target of unknown model", [](auto& targets, auto&) { targets[0].vendorID = 0x0414; }, unsupportedText},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        SimulatedDocks docks(SimulatedDocks::threeDocks());
        std::vector<RGBDevice> targets = devicesOf(docks);
        DockGroupOperations::Plan plan = planFor(targets);
        testCase.arrange(targets, plan);

        EXPECT_EQ(thrownText([&] { DockGroupOperations::synchronize(docks, targets, plan); }), testCase.expected);
        EXPECT_TRUE(docks.calls.empty());
    }
}

TEST(DockGroupRestore, ReportsATargetMissingFromTheSnapshotAndRestoresTheOthers)
{
    SimulatedDocks docks(SimulatedDocks::threeDocks());
    const auto targets = devicesOf(docks);
    DockSnapshot before;
    for (const auto& [device, settings] : SimulatedDocks::threeDocks()) {
        before.emplace(device, settings);
    }
    before.erase(targets[1]);
    for (auto& [id, settings] : docks.state) {
        settings = planned;
    }

    const auto outcomes = DockGroupOperations::restore(docks, targets, before, "已还原");

    ASSERT_EQ(outcomes.size(), 3U);
    EXPECT_EQ(outcomes[0], (DockOutcome {targets[0], before.at(targets[0]), "已还原", false}));
    EXPECT_EQ(outcomes[1], (DockOutcome {targets[1], planned, "还原失败：" + invalidSettingsText, true}));
    EXPECT_EQ(outcomes[2], (DockOutcome {targets[2], before.at(targets[2]), "已还原", false}));
    EXPECT_EQ(docks.appliedIDs(), (std::vector<std::uint64_t> {1, 3}));
    EXPECT_EQ(docks.saves(), 0U);
}

} // namespace
} // namespace kavrin
