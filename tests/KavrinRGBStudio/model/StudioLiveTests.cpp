#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using fakes::FakeStudio;
using Step = fakes::ScriptedDocks::Step;

constexpr double frameInterval = 0.125;
const std::vector<RGBDevice>& demo = RGBDevice::demoDevices();

// Docks 1 and 2 ticked, dock 3 selected: the ticked docks are the live targets.
struct LiveStudio : FakeStudio {
    explicit LiveStudio(bool demo = false)
        : FakeStudio(demo)
    {
        platform.settle();
        model->select(3);
        model->toggleSyncTarget(1);
        model->toggleSyncTarget(2);
    }
    // Starts, prepares the docks and sends the first frame.
    void run()
    {
        model->startLive();
        platform.step();
        platform.step();
    }
    LightColor lamp(std::uint64_t id) const { return docks->state.at(id).color; }
};

TEST(StudioModelLive, StartsOnTheTickedDocksRunsOnOneClockAndRestoresThemOnStop)
{
    LiveStudio s;
    const auto before = s.docks->state;
    EXPECT_EQ(s.model->realTimeTargets(), (std::vector {demo[0], demo[1]}));
    const int changes = s.changes;
    s.model->startLive();
    EXPECT_EQ(s.changes, changes + 1);
    EXPECT_EQ(s.model->liveState(), LiveState::starting);
    EXPECT_EQ(s.platform.power->locksHeld, 1);

    s.platform.clock.advance(1.5);
    s.platform.step();
    EXPECT_EQ(s.model->liveState(), LiveState::running);
    EXPECT_EQ(s.model->previewElapsed(), 0.0); // the preview restarts with the docks
    EXPECT_EQ(s.platform.timers->active(frameInterval), 1U);
    EXPECT_EQ(s.platform.jobs->count(), 1U); // the first frame goes at once

    const int running = s.changes;
    s.platform.step();
    EXPECT_EQ(s.docks->frames, 1);
    EXPECT_EQ(s.changes, running) << "a successful frame changes nothing the views show";

    int stopped = 0;
    s.model->stopLive(std::nullopt, [&] { ++stopped; });
    EXPECT_EQ(s.model->liveState(), LiveState::stopping);
    EXPECT_EQ(s.platform.timers->active(frameInterval), 0U);
    s.platform.settle();
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(s.model->liveState(), LiveState::idle);
    EXPECT_EQ(s.docks->state, before);
    EXPECT_EQ(s.model->session(2)->lastRead, before.at(2));
    EXPECT_EQ(s.platform.power->locksHeld, 0);
}

enum class Phase { beforeStart, starting, running };

struct StopCase {
    const char* name;
    Phase phase;
    std::function<void(LiveStudio&)> event;
    std::string message;
    bool liveError;
    int frames;
};

TEST(StudioModelLive, EveryWayOfStoppingRestoresTheDocksAndSaysWhy)
{
    const auto stop = [](LiveStudio& s) { s.model->stopLive(std::nullopt, nullptr); };
    const auto sleep = [](LiveStudio& s) { s.platform.power->willSleep(); };
    const std::string slept = "系统休眠，实时灯效已停止。 已还原可连接设备。";
    const StopCase cases[] = {
        {"stop while starting", Phase::starting, stop, "已停止，2 台已还原启动前设置。", false, 0},
        {"sleep while starting", Phase::starting, sleep, slept, true, 0},
        // The first frame was queued before the stop, but the cancelled run writes nothing.
        {"sleep while running", Phase::running, sleep, slept, true, 0},
        {"a failing frame", Phase::beforeStart,
         [](LiveStudio& s) {
             s.docks->failing[{Step::colors, 0}] = "写入颜色失败";
         },
         "实时输出失败：写入颜色失败 已还原可连接设备。", true, 1},
        {"a target vanishes", Phase::running,
         [](LiveStudio& s) {
             s.docks->listed = {demo[0], demo[2]};
             s.platform.timers->fire(3.0);
         },
         "已停止；以下设备还原失败：KAVRIN MIND CUBE 0x01130000", true, 1},
        {"preparation fails", Phase::beforeStart,
         [](LiveStudio& s) {
             s.docks->failing[{Step::apply, 2}] = "写入失败";
             s.docks->failOnce = true;
         },
         "实时灯效启动失败：写入失败。已还原已操作设备。", true, 0},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        LiveStudio s;
        const auto before = s.docks->state;
        if (c.phase == Phase::beforeStart) {
            c.event(s);
        }
        s.model->startLive();
        if (c.phase == Phase::starting) {
            c.event(s);
            EXPECT_EQ(s.model->liveState(), LiveState::starting); // nothing to cancel until the run is ready
        }
        s.platform.step();
        if (c.phase == Phase::running) {
            c.event(s);
        }
        s.platform.settle();
        EXPECT_EQ(s.model->liveState(), LiveState::idle);
        EXPECT_EQ(s.model->liveMessage(), c.message);
        EXPECT_EQ(s.model->liveError(), c.liveError);
        EXPECT_EQ(s.docks->frames, c.frames);
        EXPECT_EQ(s.platform.timers->active(frameInterval), 0U);
        EXPECT_EQ(s.platform.power->locksHeld, 0);
        EXPECT_FALSE(s.model->hasPendingWork());
        EXPECT_EQ(s.docks->state.at(1), before.at(1));
        for (const std::uint64_t id : {1, 3}) {
            EXPECT_FALSE(s.model->session(id)->busy());
        }
    }
}

TEST(StudioModelLive, ASecondStopWhileStoppingWaitsForTheFirst)
{
    LiveStudio s;
    s.run();
    std::vector<int> released;
    s.model->stopLive(std::nullopt, [&] { released.push_back(1); });
    const int changes = s.changes;
    s.model->stopLive(std::nullopt, [&] { released.push_back(2); });
    EXPECT_EQ(s.changes, changes);
    EXPECT_EQ(s.platform.jobs->count(), 1U); // one restore
    s.platform.settle();
    EXPECT_EQ(released, (std::vector {1, 2}));
    s.model->stopLive(std::nullopt, [&] { released.push_back(3); });
    EXPECT_EQ(released.back(), 3); // idle: released at once
}

// Each tick every 0.125 s; a frame occupies the device for `cost` seconds and ticks meanwhile are dropped.
TEST(StudioModelLive, ASlowDockLowersTheFrameRateWithoutABacklog)
{
    for (const auto& [cost, frames] : {std::pair {0.0, 81}, std::pair {0.3, 27}}) {
        SCOPED_TRACE(cost);
        LiveStudio s;
        s.model->startLive();
        s.platform.step();
        double began = s.platform.clock.now->load();
        for (int tick = 0; tick < 80; ++tick) {
            s.platform.clock.advance(frameInterval);
            const double now = s.platform.clock.now->load();
            if (s.platform.jobs->count() > 0 && now >= began + cost) {
                s.platform.step();
            }
            const auto queued = s.platform.jobs->count();
            s.platform.timers->fire(frameInterval);
            began = s.platform.jobs->count() > queued ? now : began;
            EXPECT_LE(s.platform.jobs->count(), 1U);
        }
        s.platform.step();
        EXPECT_EQ(s.docks->frames, frames);
    }
}

TEST(StudioModelLive, AnimationEditsReachTheNextFrameOnTheSameClock)
{
    LiveStudio s;
    s.run();
    const double startedAt = s.platform.clock.now->load();
    AnimationSettings edited = s.model->animation();
    edited.style = AnimationStyle::breathing;
    s.platform.clock.advance(2.0);
    s.model->setAnimation(edited);
    s.model->setTheme(ColorTheme::ocean);
    edited.primary = colors(ColorTheme::ocean)[0];
    edited.secondary = colors(ColorTheme::ocean)[1];
    edited.tertiary = colors(ColorTheme::ocean)[2];
    EXPECT_EQ(s.model->animation(), edited);
    s.platform.timers->fire(frameInterval);
    s.platform.step();
    EXPECT_EQ(s.lamp(1), AnimationRenderer::color(edited, 2.0, 0.5));
    EXPECT_EQ(s.model->previewElapsed(), s.platform.clock.now->load() - startedAt);

    AnimationSettings invalid = edited;
    invalid.speed = 0;
    s.model->setAnimation(invalid);
    EXPECT_TRUE(s.model->liveError());
    s.platform.clock.advance(1.0);
    s.platform.timers->fire(frameInterval);
    s.platform.step();
    EXPECT_EQ(s.lamp(2), AnimationRenderer::color(edited, 3.0, 0.5)); // the last valid settings go on
}

TEST(StudioModelLive, StartIsRefusedWithoutTargetsWhileBusyOrWithInvalidSettings)
{
    LiveStudio s;
    s.model->clearSyncTargets();
    EXPECT_EQ(s.model->realTimeTargets(), std::vector {demo[2]}); // the selected dock alone

    AnimationSettings slow = s.model->animation();
    slow.speed = 0;
    s.model->setAnimation(slow);
    s.model->startLive();
    EXPECT_EQ(s.model->liveMessage(), "灯光参数超出支持范围。");
    EXPECT_EQ(s.model->liveState(), LiveState::idle);

    s.model->setAnimation({AnimationStyle::solid, {1, 2, 3}, {}, {}, 50, 5});
    for (const auto busy : {&StudioModel::read, &StudioModel::synchronize}) {
        s.model->selectAllForSync();
        (s.model.get()->*busy)();
        s.model->startLive(); // a target is busy, or a synchronisation runs
        EXPECT_EQ(s.model->liveState(), LiveState::idle);
        s.platform.settle();
    }

    s.docks->listed.clear();
    s.model->refresh(false);
    s.platform.settle();
    s.model->startLive();
    EXPECT_EQ(s.platform.jobs->count(), 0U);
}

TEST(StudioModelLive, DemoModeSaysSoAndPreviewFollowsTheHardwareEditor)
{
    LiveStudio s(true);
    EXPECT_EQ(s.model->previewSettings(),
              AnimationSettings::preview(s.model->settings(), ControllerProfile::forgeCubeLegacy));
    s.run();
    EXPECT_EQ(s.model->liveMessage(), "演示：2 台使用同一时钟实时输出；修改配色、亮度和速度即时生效。");
    EXPECT_EQ(s.model->previewSettings(), s.model->animation());
}

// The model goes while work is in flight: late completions and ticks must find nothing to touch.
TEST(StudioModelLive, CompletionsAfterTheModelIsGoneDoNothing)
{
    for (const bool running : {false, true}) {
        LiveStudio s;
        s.model->startLive();
        if (running) {
            s.platform.step();
        }
        s.model->read();
        s.model->refresh(false);
        s.model.reset();
        EXPECT_EQ(s.platform.power->locksHeld, 0);
        EXPECT_EQ(s.platform.timers->active(frameInterval) + s.platform.timers->active(3.0), 0U);
        EXPECT_FALSE(s.platform.power->willSleep);
        s.platform.settle();
        EXPECT_EQ(s.docks->frames, 0); // a cancelled run writes no frame
    }
}

} // namespace
} // namespace kavrin
