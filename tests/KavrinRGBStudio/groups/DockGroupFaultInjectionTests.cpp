#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"
#include "KavrinRGBStudio/groups/GroupLightingError.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"

#include "SimulatedDocks.hpp"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace kavrin {
namespace {

using Kind = DockCall::Kind;

// Longer than any three-dock action with its rollback and follow-up reads.
constexpr std::size_t stepCount = 16;

const LightingSettings planned {true, LightingEffect::dualFlashing, 30, 6, LightColor {0x00, 0x80, 0xFF}};
const AnimationSettings rainbow {
    AnimationStyle::rainbow, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 5};

struct Scenario {
    std::set<std::size_t> failing;
    bool failAfterWriting;
};

// One, two or three failing steps: the first starts the rollback, later ones hit restore writes and
// the reads after them. Failing writes either land on the dock first (a read-back mismatch) or not.
std::vector<Scenario> scenarios()
{
    std::vector<Scenario> all;
    for (std::size_t first = 0; first < stepCount; ++first) {
        for (std::size_t second = first; second < stepCount; ++second) {
            for (std::size_t third = second; third < stepCount; ++third) {
                for (const bool afterWriting : {false, true}) {
                    all.push_back({{first, second, third}, afterWriting});
                }
            }
        }
    }
    return all;
}

std::string describe(const Scenario& scenario)
{
    std::string text = scenario.failAfterWriting ? "failing writes land; steps" : "steps";
    for (const std::size_t step : scenario.failing) {
        text += " " + std::to_string(step);
    }
    return text;
}

struct Trial {
    explicit Trial(const Scenario& scenario)
    {
        for (const auto& [device, settings] : SimulatedDocks::threeDocks()) {
            snapshot.emplace(device, settings);
        }
        docks->failAt(scenario.failing);
        docks->failAfterWriting(scenario.failAfterWriting);
    }

    std::shared_ptr<SimulatedDocks> docks = std::make_shared<SimulatedDocks>(SimulatedDocks::threeDocks());
    DockSnapshot snapshot;
    // Not the listed order, so that target order is observable.
    std::vector<RGBDevice> targets {docks->listed[2], docks->listed[0], docks->listed[1]};
};

// The first failure that surfaced, or no step when every call succeeded.
std::optional<std::size_t> firstFailure(const SimulatedDocks& docks)
{
    for (std::size_t step = 0; step < docks.calls.size(); ++step) {
        if (docks.failureAt(step)) {
            return step;
        }
    }
    return std::nullopt;
}

// A refusal surfaces a list or read failure unchanged and writes nothing.
void expectRefusal(const Trial& trial, const UserFacingError& error)
{
    const auto step = firstFailure(*trial.docks);
    ASSERT_TRUE(step);
    EXPECT_NE(trial.docks->calls[*step].kind, Kind::apply);
    EXPECT_EQ(error.errorDescription(), trial.docks->failureAt(*step));
    EXPECT_TRUE(trial.docks->callsOf(Kind::apply).empty());
}

// The step of the write that put a dock back, if it was rolled back.
std::optional<std::size_t> restoreStep(const SimulatedDocks& docks, std::uint64_t id)
{
    int writes = 0;
    for (std::size_t step = 0; step < docks.calls.size(); ++step) {
        if (docks.calls[step].kind == Kind::apply && docks.calls[step].id == id && ++writes == 2) {
            return step;
        }
    }
    return std::nullopt;
}

// The heart of the matter: a dock differs from its snapshot only when its line says the restore failed,
// and a confirmed state is the one the dock really holds.
void expectNoUnreportedChange(const Trial& trial, std::size_t index, const DockOutcome& outcome)
{
    const LightingSettings& held = trial.docks->state.at(trial.targets[index].id);
    EXPECT_EQ(outcome.device, trial.targets[index]);
    if (held != trial.snapshot.at(trial.targets[index])) {
        EXPECT_TRUE(outcome.isError);
        EXPECT_NE(outcome.message.find("还原失败："), std::string::npos) << outcome.message;
    }
    if (outcome.actual) {
        EXPECT_EQ(*outcome.actual, held);
    }
    EXPECT_EQ(trial.docks->saves(), 0U);
}

std::string rolledBackTail(const Trial& trial, std::size_t index)
{
    const RGBDevice& target = trial.targets[index];
    const auto restored = restoreStep(*trial.docks, target.id);
    if (!restored) {
        return "这台未作修改。";
    }
    const auto failure = trial.docks->failureAt(*restored);
    return failure ? "还原失败：" + *failure : "同步未完成，已还原原设置。";
}

TEST(DockGroupFaultInjection, SynchronizeNeverLeavesAChangedDockUnreported)
{
    for (const Scenario& scenario : scenarios()) {
        SCOPED_TRACE(describe(scenario));
        Trial trial(scenario);
        DockGroupOperations::Plan plan;
        for (const RGBDevice& target : trial.targets) {
            plan.emplace(target.id, planned);
        }

        std::vector<DockOutcome> outcomes;
        try {
            outcomes = DockGroupOperations::synchronize(*trial.docks, trial.targets, plan);
        } catch (const UserFacingError& error) {
            expectRefusal(trial, error);
            continue;
        }
        ASSERT_EQ(outcomes.size(), 3U);
        const auto failed = firstFailure(*trial.docks);
        std::vector<std::uint64_t> written;
        for (std::size_t index = 0; index < 3; ++index) {
            const DockOutcome& outcome = outcomes[index];
            if (!failed) {
                EXPECT_EQ(trial.docks->state.at(trial.targets[index].id), planned);
                EXPECT_EQ(outcome,
                          (DockOutcome {trial.targets[index], planned, "同步配置已应用，并回读确认。", false}));
                continue;
            }
            expectNoUnreportedChange(trial, index, outcome);
            const auto restored = restoreStep(*trial.docks, trial.targets[index].id);
            if (restored) {
                written.push_back(trial.targets[index].id);
                // A failed restore is followed by a read, the next step.
                const bool readFailed = trial.docks->failureAt(*restored) && trial.docks->failureAt(*restored + 1);
                EXPECT_EQ(outcome.actual.has_value(), !readFailed);
            } else {
                EXPECT_EQ(outcome.actual, trial.snapshot.at(trial.targets[index]));
            }
            EXPECT_TRUE(outcome.isError);
            EXPECT_EQ(outcome.message,
                      "同步未完成：" + *trial.docks->failureAt(*failed) + " " + rolledBackTail(trial, index));
        }
        if (failed) {
            // Rolled back in the order written, the failing dock last.
            written.insert(written.end(), written.begin(), written.end());
            EXPECT_EQ(trial.docks->appliedIDs(), written);
        }
    }
}

TEST(DockGroupFaultInjection, LiveRunNeverLeavesAChangedDockUnreported)
{
    const std::map<std::uint64_t, std::string> labels {
        {1, "FORGE CUBE 0x21220000"}, {2, "KAVRIN MIND CUBE 0x01130000"}, {3, "FORGE CUBE 0x31220000"}};
    for (const Scenario& scenario : scenarios()) {
        SCOPED_TRACE(describe(scenario));
        Trial trial(scenario);

        std::unique_ptr<LiveLightingRun> run;
        try {
            run = std::make_unique<LiveLightingRun>(trial.docks, trial.targets, rainbow, [] { return 0.0; });
        } catch (const GroupLightingError& error) {
            const std::string prefix
                = "实时灯效启动失败：" + *trial.docks->failureAt(*firstFailure(*trial.docks)) + "。";
            EXPECT_EQ(error.message().rfind(prefix, 0), 0U) << error.message();
            for (const RGBDevice& target : trial.targets) {
                const auto restored = restoreStep(*trial.docks, target.id);
                if (restored && trial.docks->failureAt(*restored)) {
                    EXPECT_NE(error.message().find(labels.at(target.id) + "：还原失败："), std::string::npos);
                } else {
                    EXPECT_EQ(trial.docks->state.at(target.id), trial.snapshot.at(target));
                }
            }
            if (error.message().find("还原失败：") == std::string::npos) {
                EXPECT_EQ(error.message(), prefix + "已还原已操作设备。");
            }
            EXPECT_EQ(trial.docks->saves(), 0U);
            continue;
        } catch (const UserFacingError& error) {
            expectRefusal(trial, error);
            continue;
        }
        const auto outcomes = run->stop();
        ASSERT_EQ(outcomes.size(), 3U);
        for (std::size_t index = 0; index < 3; ++index) {
            expectNoUnreportedChange(trial, index, outcomes[index]);
        }
    }
}

TEST(DockGroupFaultInjection, CaptureRefusesOnEveryListOrReadFailureWithoutWriting)
{
    for (std::size_t step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        Trial trial({{step}, true});
        try {
            DockGroupOperations::capture(*trial.docks, trial.targets);
            ADD_FAILURE() << "captured";
        } catch (const UserFacingError& error) {
            expectRefusal(trial, error);
        }
        EXPECT_EQ(trial.docks->calls.size(), step + 1);
    }
}

} // namespace
} // namespace kavrin
