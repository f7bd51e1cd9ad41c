// Runs the studio model's live output on the demo docks in real time for ten seconds, with a plain
// standard-library event loop, and prints the frame rate and this process's CPU use.

#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "KavrinRGBStudio/groups/LiveLightingRun.hpp"
#include "KavrinRGBStudio/model/SerialWorkQueue.hpp"
#include "KavrinRGBStudio/model/StudioModel.hpp"

#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using namespace kavrin;
using Clock = std::chrono::steady_clock;

constexpr double measuredSeconds = 10.0;

// The demo docks, remembering when each frame reached them.
class TimedDemoDocks final : public DockLightingIO {
public:
    std::vector<RGBDevice> list() override { return docks_.list(); }
    LightingSettings read(const RGBDevice& device) override { return docks_.read(device); }
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override
    {
        return docks_.apply(settings, device, persist);
    }
    void writeColors(const DockColors& colors) override
    {
        docks_.writeColors(colors);
        const std::lock_guard guard(lock_);
        frames_.push_back(LiveLightingRun::uptime());
    }
    std::vector<double> frames()
    {
        const std::lock_guard guard(lock_);
        return frames_;
    }

private:
    DemoDockIO docks_;
    std::mutex lock_;
    std::vector<double> frames_;
};

// A minimal main loop: posted tasks and fixed-rate repeating timers, all run on the calling thread.
class EventLoop final : public MainThread, public TimerFactory {
public:
    void post(std::function<void()> task) override
    {
        {
            const std::lock_guard guard(lock_);
            tasks_.push_back(std::move(task));
        }
        wake_.notify_one();
    }

    std::unique_ptr<RepeatingTimer> startRepeating(double intervalSeconds, std::function<void()> tick) override
    {
        const auto interval
            = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(intervalSeconds));
        auto handle = std::make_unique<Handle>(Timer {interval, Clock::now() + interval, std::move(tick)});
        timers_.push_back(handle->timer);
        return handle;
    }

    // Runs tasks and ticks until the condition holds or the deadline passes.
    void runUntil(const std::function<bool()>& done, Clock::time_point deadline)
    {
        while (!done() && Clock::now() < deadline) {
            std::function<void()> task;
            {
                std::unique_lock guard(lock_);
                wake_.wait_until(guard, std::min(deadline, nextDue()), [this] { return !tasks_.empty(); });
                if (!tasks_.empty()) {
                    task = std::move(tasks_.front());
                    tasks_.pop_front();
                }
            }
            if (task) {
                task();
            }
            fireDueTimers();
        }
    }

private:
    struct Timer {
        Clock::duration interval;
        Clock::time_point due;
        std::function<void()> tick;
    };
    struct Handle final : RepeatingTimer {
        explicit Handle(Timer timer)
            : timer(std::make_shared<Timer>(std::move(timer)))
        {
        }
        std::shared_ptr<Timer> timer;
    };

    Clock::time_point nextDue()
    {
        auto due = Clock::time_point::max();
        for (const auto& timer : timers_) {
            if (const auto running = timer.lock()) {
                due = std::min(due, running->due);
            }
        }
        return due;
    }

    void fireDueTimers()
    {
        std::erase_if(timers_, [](const auto& timer) { return timer.expired(); });
        const auto timers = timers_;
        for (const auto& timer : timers) {
            const auto running = timer.lock();
            if (running && Clock::now() >= running->due) {
                // Fixed rate: the next tick is due one interval after this one was, not after now.
                running->due += running->interval;
                running->tick();
            }
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::weak_ptr<Timer>> timers_;
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main()
{
    const auto loop = std::make_shared<EventLoop>();
    const auto docks = std::make_shared<TimedDemoDocks>();
    StudioModel model(StudioServices {docks, true, std::make_unique<SerialWorkQueue>(), loop, loop,
                                      LiveLightingRun::uptime, nullptr});
    model.selectAllForSync();
    model.startLive();
    loop->runUntil([&] { return model.liveState() == LiveState::running; }, Clock::now() + std::chrono::seconds(5));
    if (model.liveState() != LiveState::running) {
        std::fprintf(stderr, "live output did not start: %s\n", model.liveMessage().c_str());
        return 1;
    }

    const double cpuBefore = cpuSeconds();
    const double startedAt = LiveLightingRun::uptime();
    loop->runUntil([] { return false; },
                   Clock::now()
                       + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(measuredSeconds)));
    const double elapsed = LiveLightingRun::uptime() - startedAt;
    const double cpu = cpuSeconds() - cpuBefore;

    std::vector<double> frames;
    for (const double frame : docks->frames()) {
        if (frame >= startedAt && frame <= startedAt + elapsed) {
            frames.push_back(frame);
        }
    }
    bool stopped = false;
    model.stopLive(std::nullopt, [&] { stopped = true; });
    loop->runUntil([&] { return stopped; }, Clock::now() + std::chrono::seconds(5));

    const double rate = frames.size() < 2 ? 0 : double(frames.size() - 1) / (frames.back() - frames.front());
    std::printf("live output over %zu demo docks for %.2f s: %zu frames, %.3f frames per second\n",
                model.devices().size(), elapsed, frames.size(), rate);
    std::printf("process CPU: %.4f s, %.3f %% of one core\n", cpu, 100.0 * cpu / elapsed);
    std::printf("restore: %s\n", model.liveMessage().c_str());
    return stopped ? 0 : 1;
}
