#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "KavrinRGBStudio/model/SerialWorkQueue.hpp"
#include "KavrinRGBStudio/support/StudioFakes.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kavrin {
namespace {

TEST(SerialWorkQueueConcurrency, RunsEveryJobInSubmissionOrderOnOneThreadAndDrainsOnDestruction)
{
    constexpr int perSubmitter = 500;
    std::vector<std::pair<int, int>> ran; // touched by the worker only, read after the join
    std::vector<std::thread::id> workers;
    {
        SerialWorkQueue queue;
        const auto submitter = [&](int who) {
            for (int job = 0; job < perSubmitter; ++job) {
                queue.submit([&ran, &workers, who, job] {
                    ran.emplace_back(who, job);
                    workers.push_back(std::this_thread::get_id());
                });
            }
        };
        std::thread first(submitter, 0), second(submitter, 1);
        first.join();
        second.join();
    }
    ASSERT_EQ(ran.size(), 2U * perSubmitter);
    int next[2] = {0, 0};
    for (const auto& [who, job] : ran) {
        EXPECT_EQ(job, next[who]++);
    }
    EXPECT_TRUE(std::ranges::all_of(workers, [&](auto id) { return id == workers.front(); }));
    EXPECT_NE(workers.front(), std::this_thread::get_id());
}

// The model over the real device thread: frames render there while the interface thread edits the
// animation, stops the run and quits.
TEST(StudioModelConcurrency, LiveOutputOverTheRealQueueRestoresTheDemoDocks)
{
    fakes::FakeStudioPlatform platform;
    const auto docks = std::make_shared<DemoDockIO>();
    const LightingSettings before = docks->read(RGBDevice::demoDevices()[0]);
    StudioServices services = platform.services(docks, true);
    services.queue = std::make_unique<SerialWorkQueue>();
    StudioModel model(std::move(services));
    model.selectAllForSync();

    model.startLive();
    while (model.liveState() == LiveState::starting) {
        platform.mainThread->waitAndRun();
    }
    ASSERT_EQ(model.liveState(), LiveState::running);
    for (int tick = 0; tick < 200; ++tick) {
        platform.clock.advance(0.125);
        platform.timers->fire(0.125);
        model.setTheme(allColorThemes[tick % allColorThemes.size()]);
        platform.mainThread->runPending();
    }
    bool quit = false;
    model.prepareToQuit([&] { quit = true; });
    while (!quit) {
        platform.mainThread->waitAndRun();
    }
    EXPECT_EQ(model.liveMessage(), "演示：已停止，3 台已还原启动前设置。");
    EXPECT_EQ(docks->read(RGBDevice::demoDevices()[0]), before);
}

} // namespace
} // namespace kavrin
