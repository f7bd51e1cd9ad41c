#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/groups/GroupLightingError.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"

#include "SimulatedDocks.hpp"

#include "RGBProtocol/animation/AnimationRenderer.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace kavrin {
namespace {

using Kind = DockCall::Kind;

const std::string invalidSettingsText = "灯光参数超出支持范围。";

AnimationSettings solidAnimation(LightColor primary)
{
    return AnimationSettings {AnimationStyle::solid, primary, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 100, 5};
}

const AnimationSettings breathing {
    AnimationStyle::breathing, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 7};

class LiveLightingRunTest : public ::testing::Test {
protected:
    std::unique_ptr<LiveLightingRun> start(const AnimationSettings& settings = breathing)
    {
        return std::make_unique<LiveLightingRun>(docks, targets, settings, [this] { return now; });
    }

    std::string startFailure(const AnimationSettings& settings = breathing)
    {
        try {
            start(settings);
        } catch (const UserFacingError& error) {
            return error.errorDescription();
        }
        return "started";
    }

    std::shared_ptr<SimulatedDocks> docks = std::make_shared<SimulatedDocks>(SimulatedDocks::threeDocks());
    std::vector<RGBDevice> targets = docks->listed;
    double now = 1000;
};

TEST_F(LiveLightingRunTest, RefusesInvalidAnimationWithoutTouchingDocks)
{
    for (const auto& [brightness, speed] : {std::pair {101, 5}, {-1, 5}, {80, 0}, {80, 11}}) {
        SCOPED_TRACE(std::to_string(brightness) + " " + std::to_string(speed));
        AnimationSettings settings = breathing;
        settings.brightness = brightness;
        settings.speed = speed;
        EXPECT_EQ(startFailure(settings), invalidSettingsText);
    }
    EXPECT_TRUE(docks->calls.empty());
}

TEST_F(LiveLightingRunTest, PreparesEveryDockWithTheFirstFrameAndStartsTheClockOnceTheyAreReady)
{
    const auto run
        = std::make_unique<LiveLightingRun>(docks, targets, breathing, [this] { return double(docks->calls.size()); });

    const LightingSettings steady {true, LightingEffect::solid, 100, 1, AnimationRenderer::color(breathing, 0, 0.5)};
    EXPECT_EQ(docks->appliedIDs(), (std::vector<std::uint64_t> {1, 2, 3}));
    for (const DockCall& call : docks->callsOf(Kind::apply)) {
        EXPECT_EQ(call.settings, steady);
    }
    EXPECT_EQ(docks->saves(), 0U);
    EXPECT_EQ(run->startedAt(), 7.0);
}

// Steps: 0 list, 1-3 reads, 4-6 preparation writes, then the rollback with its follow-up reads.
TEST_F(LiveLightingRunTest, PreparationFailureRollsBackAndNamesDocksWhoseRestoreFailed)
{
    const struct {
        const char* fault;
        std::set<std::size_t> failing;
        std::function<std::string(const SimulatedDocks&)> tail;
    } cases[] = {
        {"second write fails", {5}, [](const auto&) { return "已还原已操作设备。"; }},
        {"first dock's restore fails too",
         {5, 6},
         [](const auto& docks) { return "FORGE CUBE 0x21220000：还原失败：" + *docks.failureAt(6); }},
        {"both restores fail",
         {5, 6, 8},
         [](const auto& docks) {
             return "FORGE CUBE 0x21220000：还原失败：" + *docks.failureAt(6)
                 + "；KAVRIN MIND CUBE 0x01130000：还原失败：" + *docks.failureAt(8);
         }},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fault);
        docks = std::make_shared<SimulatedDocks>(SimulatedDocks::threeDocks());
        docks->failAt(testCase.failing);
        try {
            start();
            ADD_FAILURE() << "started";
        } catch (const GroupLightingError& error) {
            EXPECT_EQ(error.message(), "实时灯效启动失败：" + *docks->failureAt(5) + "。" + testCase.tail(*docks));
        }
        EXPECT_EQ(docks->appliedIDs(), (std::vector<std::uint64_t> {1, 2, 1, 2}));
        EXPECT_EQ(docks->state.at(3), SimulatedDocks::threeDocks()[2].second);
    }
}

TEST_F(LiveLightingRunTest, SendsOneColourToEveryTargetOnTheRunClock)
{
    const auto run = start();
    const struct {
        double time;
        double elapsed;
    } frames[] = {
        {run->startedAt() + 3.3, 3.3},
        {run->startedAt() - 5, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& frame : frames) {
        SCOPED_TRACE(frame.time);
        const LightColor expected = AnimationRenderer::color(breathing, frame.elapsed, 0.5);
        EXPECT_EQ(run->render(frame.time), expected);
        const DockColors& sent = docks->calls.back().colors;
        EXPECT_EQ(sent.size(), 3U);
        for (const RGBDevice& target : targets) {
            EXPECT_EQ(sent.at(target), expected);
        }
    }
}

TEST_F(LiveLightingRunTest, UpdateTakesEffectOnTheNextFrameUnlessInvalid)
{
    const auto run = start();
    AnimationSettings tooFast = solidAnimation({1, 2, 3});
    tooFast.speed = 11;
    EXPECT_THROW(run->update(tooFast), ProtocolError);
    EXPECT_EQ(run->render(run->startedAt() + 2), AnimationRenderer::color(breathing, 2, 0.5));

    run->update(solidAnimation({1, 2, 3}));
    EXPECT_EQ(run->render(run->startedAt() + 2), (LightColor {1, 2, 3}));
    EXPECT_EQ(docks->callsOf(Kind::apply).size(), 3U);
}

TEST_F(LiveLightingRunTest, CancelledRunWritesNoFrame)
{
    const auto run = start();
    run->cancel();
    EXPECT_EQ(run->render(run->startedAt() + 1), std::nullopt);
    EXPECT_TRUE(docks->callsOf(Kind::writeColors).empty());
}

TEST_F(LiveLightingRunTest, FrameWriteErrorReachesTheCallerAndTheRunGoesOn)
{
    const auto run = start();
    docks->failAt({docks->calls.size()});
    EXPECT_THROW(run->render(run->startedAt() + 1), TransportError);
    EXPECT_TRUE(run->render(run->startedAt() + 2).has_value());
}

TEST_F(LiveLightingRunTest, StopRestoresOnceHoweverOftenCalled)
{
    const auto run = start();
    run->render(run->startedAt() + 1);

    const auto first = run->stop();
    const auto second = run->stop();

    EXPECT_EQ(first, second);
    EXPECT_EQ(docks->appliedIDs(), (std::vector<std::uint64_t> {1, 2, 3, 1, 2, 3}));
    ASSERT_EQ(first.size(), 3U);
    const auto snapshot = SimulatedDocks::threeDocks();
    for (std::size_t index = 0; index < first.size(); ++index) {
        const auto& [device, settings] = snapshot[index];
        EXPECT_EQ(first[index], (DockOutcome {device, settings, "实时灯效已停止，已还原启动前设置。", false}));
        EXPECT_EQ(docks->state.at(device.id), settings);
    }
    EXPECT_EQ(run->render(run->startedAt() + 2), std::nullopt);
    EXPECT_EQ(docks->saves(), 0U);
}

// Frames on the device thread, updates and the cancel on the interface thread.
using LiveLightingRunConcurrency = LiveLightingRunTest;

TEST_F(LiveLightingRunConcurrency, UpdatesAndCancelRaceFramesWithoutTearing)
{
    const LightColor first {0x11, 0x22, 0x33};
    const LightColor second {0xAA, 0xBB, 0xCC};
    const auto run = start(solidAnimation(first));
    std::vector<std::optional<LightColor>> rendered;

    std::thread frames([&] {
        for (double time = 0;; time += 0.125) {
            rendered.push_back(run->render(time));
            if (!rendered.back()) {
                return;
            }
        }
    });
    for (int update = 0; update < 2000; ++update) {
        run->update(solidAnimation(update % 2 == 0 ? second : first));
    }
    run->cancel();
    frames.join();

    ASSERT_FALSE(rendered.empty());
    EXPECT_EQ(rendered.back(), std::nullopt);
    rendered.pop_back();
    for (const auto& color : rendered) {
        EXPECT_TRUE(color == first || color == second);
    }
    EXPECT_EQ(docks->callsOf(Kind::writeColors).size(), rendered.size());
}

} // namespace
} // namespace kavrin
