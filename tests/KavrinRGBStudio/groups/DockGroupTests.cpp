#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"
#include "KavrinRGBStudio/groups/GroupLightingError.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"

#include "RGBProtocol/animation/AnimationRenderer.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <limits>
#include <set>
#include <thread>

namespace kavrin {
namespace {

const std::vector<RGBDevice>& demo = RGBDevice::demoDevices();

// What each demo dock holds at first; valid for its model, so that capture accepts it.
const std::unordered_map<std::uint64_t, LightingSettings> initialState {
    {1, {true, LightingEffect::breathing, 100, 5, {0xFF, 0x64, 0x00}}},
    {2, {true, LightingEffect::wave, 70, 3, {0x33, 0x66, 0x99}}},
    {3, {false, LightingEffect::solid, 60, 2, {0x22, 0xC5, 0x5E}}},
};

// Docks that keep their state and fail chosen steps, so tests check what a dock really holds.
struct SimulatedDocks final : DockLightingIO {
    std::vector<RGBDevice> list() override { return step('l', 0), listed; }
    LightingSettings read(const RGBDevice& device) override { return step('r', device.id), state.at(device.id); }
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override
    {
        EXPECT_FALSE(persist) << "no group action may ask a dock to save";
        applied.push_back(device.id);
        step('w', device.id, &settings);
        return state.at(device.id) = settings;
    }
    void writeColors(const DockColors& colors) override
    {
        step('c', 0);
        if (duringColors) {
            duringColors();
        }
        for (const auto& [device, color] : colors) {
            state.at(device.id).color = color;
        }
    }
    void step(char kind, std::uint64_t id, const LightingSettings* written = nullptr)
    {
        auto& failure = last[{kind, id}] = std::nullopt;
        if (failing.contains(calls++)) {
            failure = "第 " + std::to_string(calls - 1) + " 步失败"; // names the step, to tell which surfaced
            firstFailure = firstFailure ? firstFailure : failure;
            if (written && failingWritesLand) {
                state.at(id) = *written;
            }
            throw UserFacingError(*failure);
        }
    }

    // Not the order of the targets, so that target order is observable.
    std::vector<RGBDevice> listed {demo[2], demo[0], demo[1]};
    std::unordered_map<std::uint64_t, LightingSettings> state = initialState;
    std::set<std::size_t> failing;
    bool failingWritesLand = false; // as when a write's read-back disagrees
    std::size_t calls = 0;
    std::vector<std::uint64_t> applied;
    // How the latest list ('l'), read ('r'), write ('w') or colours ('c') per dock failed, if it did.
    std::map<std::pair<char, std::uint64_t>, std::optional<std::string>> last;
    std::optional<std::string> firstFailure;
    std::function<void()> duringColors; // runs while a colour write is under way
};

// A restore's true outcome; the heart: a dock only differs from its start when its line says its restore failed.
DockOutcome restored(SimulatedDocks& docks, const RGBDevice& dock, const std::string& success)
{
    const auto& failure = docks.last[{'w', dock.id}];
    EXPECT_TRUE(failure || docks.state.at(dock.id) == initialState.at(dock.id));
    return {dock, docks.last[{'r', dock.id}] ? std::nullopt : std::optional(docks.state.at(dock.id)),
            failure ? "还原失败：" + *failure : success, failure.has_value()};
}

const std::string invalidSettingsText = "灯光参数超出支持范围。";
const LightingSettings planned {true, LightingEffect::dualFlashing, 30, 6, {0x00, 0x80, 0xFF}};

struct Group {
    void capture() { DockGroupOperations::capture(docks, targets); }
    void synchronize() { DockGroupOperations::synchronize(docks, targets, plan); }

    SimulatedDocks docks;
    std::vector<RGBDevice> targets = demo;
    DockGroupOperations::Plan plan {{1, planned}, {2, planned}, {3, planned}};
};

TEST(DockGroupOperations, RestoreReportsATargetMissingFromTheSnapshotAndRestoresTheOthers)
{
    SimulatedDocks docks;
    docks.state.at(1).speed = 9;
    const DockSnapshot before {{demo[0], initialState.at(1)}, {demo[2], initialState.at(3)}};
    EXPECT_EQ(DockGroupOperations::restore(docks, demo, before, "好"),
              (std::vector<DockOutcome> {{demo[0], initialState.at(1), "好", false},
                                         {demo[1], initialState.at(2), "还原失败：" + invalidSettingsText, true},
                                         {demo[2], initialState.at(3), "好", false}}));
    EXPECT_EQ(docks.applied, (std::vector<std::uint64_t> {1, 3}));
}

TEST(DockGroupOperations, RefusesUnusableGroupsAndPlansWithoutWriting)
{
    // clang-format off
    const std::tuple<void (*)(Group&), std::string, std::size_t> cases[] = {
        {[](Group& s) { s.targets.clear(); s.capture(); }, invalidSettingsText, 0},
        {[](Group& s) { s.targets[2].id = 1; s.capture(); }, invalidSettingsText, 0},
        {[](Group& s) { s.targets[1].productID = 0x7A62; s.capture(); }, invalidSettingsText, 0},
        {[](Group& s) { s.targets[1].locationID += 1; s.capture(); }, "所选设备已断开或身份发生变化，请重新选择。", 1},
        {[](Group& s) { s.docks.state[2].brightness = 5; s.capture(); }, invalidSettingsText, 3},
        {[](Group& s) { s.plan.erase(2); s.synchronize(); }, invalidSettingsText, 0},
        {[](Group& s) { s.plan.at(2).speed = 7; s.synchronize(); }, invalidSettingsText, 0},
        {[](Group& s) { s.targets[0].vendorID = 0x0414; s.synchronize(); }, "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。", 0},
    };
    // clang-format on
    for (const auto& [refusal, expected, calls] : cases) {
        Group s;
        EXPECT_THAT([&] { refusal(s); }, testing::ThrowsMessage<UserFacingError>(expected));
        EXPECT_EQ(s.docks.calls, calls) << expected;
        EXPECT_TRUE(s.docks.applied.empty());
    }
}

AnimationSettings solid(LightColor primary, std::int64_t brightness = 100)
{
    return {AnimationStyle::solid, primary, {}, {}, brightness, 7};
}

const AnimationSettings breathing {
    AnimationStyle::breathing, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 7};

// The clock is a step that can fail like the docks' and counts the calls made, so the start time
// shows when the animation began.
auto start(const std::shared_ptr<SimulatedDocks>& docks, const AnimationSettings& settings = breathing)
{
    return std::make_unique<LiveLightingRun>(docks, demo, settings, [&docks] {
        docks->step('t', 0);
        return double(docks->calls);
    });
}

// Up to three failing steps among the first 16, beyond any action and rollback; failing writes land or not.
TEST(DockGroupFaultInjection, SynchronizeAndLiveRunNeverLeaveAChangedDockUnreported)
{
    const char* labels[] = {"FORGE CUBE 0x21220000", "KAVRIN MIND CUBE 0x01130000", "FORGE CUBE 0x31220000"};
    for (std::size_t scenario = 0; scenario < 2 * 16 * 16 * 16; ++scenario) {
        for (const bool live : {false, true}) {
            SCOPED_TRACE(std::to_string(scenario) + (live ? " live" : " synchronize"));
            const auto docks = std::make_shared<SimulatedDocks>();
            docks->failing = {scenario % 16, scenario / 16 % 16, scenario / 256 % 16};
            docks->failingWritesLand = scenario >= 16 * 16 * 16;
            const auto& failed = docks->firstFailure;
            std::vector<DockOutcome> outcomes;
            try {
                outcomes = live ? start(docks)->stop() : DockGroupOperations::synchronize(*docks, demo, Group().plan);
            } catch (const GroupLightingError& error) {
                std::string lines;
                for (const RGBDevice& dock : demo) {
                    if (const DockOutcome outcome = restored(*docks, dock, ""); outcome.isError) {
                        lines
                            += (lines.empty() ? "" : "；") + std::string(labels[dock.id - 1]) + "：" + outcome.message;
                    }
                }
                EXPECT_EQ(error.message(),
                          "实时灯效启动失败：" + *failed + "。" + (lines.empty() ? "已还原已操作设备。" : lines));
                continue;
            } catch (const UserFacingError& error) {
                // A refusal surfaces the first failure, a list or read, unchanged, stops there and writes nothing.
                EXPECT_EQ(error.errorDescription(), failed);
                EXPECT_EQ(docks->calls, *docks->failing.begin() + 1);
                EXPECT_TRUE(docks->applied.empty());
                continue;
            }
            for (const RGBDevice& dock : demo) {
                DockOutcome expected {dock, planned, "同步配置已应用，并回读确认。", false};
                if (live) {
                    expected = restored(*docks, dock, "实时灯效已停止，已还原启动前设置。");
                } else if (failed) {
                    const bool touched = std::ranges::count(docks->applied, dock.id) > 0;
                    expected = restored(*docks, dock, touched ? "同步未完成，已还原原设置。" : "这台未作修改。");
                    expected = {dock, expected.actual, "同步未完成：" + *failed + " " + expected.message, true};
                }
                EXPECT_EQ(outcomes.at(dock.id - 1), expected);
            }
            // Every restore goes in the order written, the failing dock last.
            const auto half = docks->applied.begin() + docks->applied.size() / 2;
            EXPECT_TRUE((!live && !failed) || std::equal(docks->applied.begin(), half, half, docks->applied.end()));
        }
    }
}

TEST(LiveLightingRun, StartsInPhaseOnPreparedDocksAndStopRestoresThemOnce)
{
    const auto docks = std::make_shared<SimulatedDocks>();
    EXPECT_THROW(start(docks, solid({1, 2, 3}, 101)), ProtocolError);
    EXPECT_EQ(docks->calls, 0U);

    const auto run = start(docks);
    EXPECT_EQ(run->startedAt(), 8.0); // after the list, three reads, three writes and the clock
    const LightingSettings steady {true, LightingEffect::solid, 100, 1, AnimationRenderer::color(breathing, 0, 0.5)};
    EXPECT_EQ(docks->state, (decltype(docks->state) {{1, steady}, {2, steady}, {3, steady}}));
    EXPECT_THROW(run->update(solid({1, 2, 3}, 101)), ProtocolError);
    // Before the start and NaN both mean the animation's beginning.
    for (const double sinceStart : {3.3, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        const LightColor expected = AnimationRenderer::color(breathing, sinceStart > 0 ? sinceStart : 0, 0.5);
        EXPECT_EQ(run->render(run->startedAt() + sinceStart), expected);
        EXPECT_TRUE(std::ranges::all_of(docks->state, [&](const auto& dock) { return dock.second.color == expected; }));
    }
    docks->failing = {docks->calls};
    EXPECT_THROW(run->render(run->startedAt() + 1), UserFacingError);
    run->update(solid({1, 2, 3}));
    EXPECT_EQ(run->render(run->startedAt() + 1), (LightColor {1, 2, 3})); // the run goes on after a failed frame

    EXPECT_EQ(run->stop(), run->stop());
    EXPECT_EQ(docks->applied, (std::vector<std::uint64_t> {1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(run->render(run->startedAt() + 2), std::nullopt);
}

// Frames on the device thread, updates and the cancel on the interface thread.
TEST(LiveLightingRunConcurrency, UpdatesAndCancelRaceFramesWithoutTearing)
{
    const LightColor first {0x11, 0x22, 0x33}, second {0xAA, 0xBB, 0xCC};
    const auto docks = std::make_shared<SimulatedDocks>();
    const auto run = start(docks, solid(first));
    std::vector<std::optional<LightColor>> rendered;
    std::thread frames([&] {
        for (double time = 0; rendered.empty() || rendered.back(); time += 0.125) {
            rendered.push_back(run->render(time));
        }
    });
    for (int update = 0; update < 2000; ++update) {
        run->update(solid(update % 2 == 0 ? second : first));
    }
    run->cancel();
    frames.join();

    // All but the frame that saw the cancel show one whole animation, and each wrote its colour.
    EXPECT_TRUE(std::all_of(rendered.begin(), rendered.end() - 1,
                            [&](auto color) { return color == first || color == second; }));
    EXPECT_EQ(docks->calls, 8 + rendered.size() - 1);
}

TEST(LiveLightingRunConcurrency, AColourWriteUnderWayBlocksNeitherUpdateNorCancel)
{
    const auto docks = std::make_shared<SimulatedDocks>();
    const auto run = start(docks);
    // Kept outside the write, so that a run which wrongly holds its lock still gets to finish.
    std::future<void> interfaceThread;
    docks->duringColors = [&] {
        interfaceThread = std::async(std::launch::async, [&] {
            run->update(solid({1, 2, 3}));
            run->cancel();
        });
        // Returns at once unless the write holds the lock the interface thread needs.
        EXPECT_EQ(interfaceThread.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    };
    EXPECT_TRUE(run->render(0));
    interfaceThread.wait();
    EXPECT_EQ(run->render(0), std::nullopt); // the cancel took, so no second write is attempted
}

TEST(LiveLightingRunConcurrency, StopFromTwoThreadsRestoresOnce)
{
    const auto docks = std::make_shared<SimulatedDocks>();
    const auto run = start(docks);
    std::vector<DockOutcome> other;
    std::thread second([&] { other = run->stop(); });
    const std::vector<DockOutcome> outcomes = run->stop();
    second.join();
    EXPECT_EQ(outcomes, other);
    EXPECT_EQ(docks->applied, (std::vector<std::uint64_t> {1, 2, 3, 1, 2, 3}));
}

} // namespace
} // namespace kavrin
