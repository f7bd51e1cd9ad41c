#pragma once

// Deterministic stand-ins for the studio model's platform and back-end: a test decides when each
// queued job runs, when main-thread tasks are delivered, when timers tick and what the clock says.

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/model/StudioModel.hpp"
#include "KavrinRGBStudio/model/StudioPlatform.hpp"
#include "RGBProtocol/UserFacingError.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kavrin::fakes {

// Jobs wait here until the test runs them; shared, so they outlive the model that submitted them.
class ManualJobs {
public:
    void push(std::function<void()> job) { jobs_.push_back(std::move(job)); }
    std::size_t count() const { return jobs_.size(); }
    bool runNext()
    {
        if (jobs_.empty()) {
            return false;
        }
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        job();
        return true;
    }
    void runAll()
    {
        while (runNext()) { }
    }

private:
    std::deque<std::function<void()>> jobs_;
};

class ManualWorkQueue final : public WorkQueue {
public:
    explicit ManualWorkQueue(std::shared_ptr<ManualJobs> jobs)
        : jobs_(std::move(jobs))
    {
    }
    void submit(std::function<void()> job) override { jobs_->push(std::move(job)); }

private:
    std::shared_ptr<ManualJobs> jobs_;
};

// Posted tasks wait until the test delivers them. Posting is thread-safe so that a real worker thread
// may post; waitAndRun lets such a test block until a task arrives, without a time-out.
class ManualMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override
    {
        {
            const std::lock_guard guard(lock_);
            tasks_.push_back(std::move(task));
        }
        arrived_.notify_all();
    }
    std::size_t count()
    {
        const std::lock_guard guard(lock_);
        return tasks_.size();
    }
    // Delivers everything posted so far and whatever those tasks post in turn.
    void runPending()
    {
        while (auto task = take()) {
            (*task)();
        }
    }
    // Blocks until a task has been posted, then delivers it.
    void waitAndRun()
    {
        std::function<void()> task;
        {
            std::unique_lock guard(lock_);
            arrived_.wait(guard, [this] { return !tasks_.empty(); });
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }

private:
    std::optional<std::function<void()>> take()
    {
        const std::lock_guard guard(lock_);
        if (tasks_.empty()) {
            return std::nullopt;
        }
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        return task;
    }

    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> tasks_;
};

// Timers that tick only when the test fires them; a timer runs while its handle lives.
class ManualTimers final : public TimerFactory {
public:
    std::unique_ptr<RepeatingTimer> startRepeating(double intervalSeconds, std::function<void()> tick) override
    {
        auto handle = std::make_unique<Handle>(intervalSeconds, std::move(tick));
        timers_.push_back(handle->timer);
        return handle;
    }
    std::size_t active(double interval) const
    {
        return static_cast<std::size_t>(std::ranges::count_if(timers_, [&](const auto& timer) {
            const auto running = timer.lock();
            return running && running->interval == interval;
        }));
    }
    // Ticks every running timer of this interval once.
    void fire(double interval)
    {
        const auto timers = timers_;
        for (const auto& timer : timers) {
            // Held for the tick, which may stop its own timer.
            if (const auto running = timer.lock(); running && running->interval == interval) {
                running->tick();
            }
        }
    }

private:
    struct Timer {
        double interval;
        std::function<void()> tick;
    };
    struct Handle final : RepeatingTimer {
        Handle(double interval, std::function<void()> tick)
            : timer(std::make_shared<Timer>(Timer {interval, std::move(tick)}))
        {
        }
        std::shared_ptr<Timer> timer;
    };
    std::vector<std::weak_ptr<Timer>> timers_;
};

// Seconds that move only when the test says; readable from any thread.
struct FakeClock {
    std::shared_ptr<std::atomic<double>> now = std::make_shared<std::atomic<double>>(100.0);

    UptimeClock uptime() const
    {
        return [now = now] { return now->load(); };
    }
    void advance(double seconds) { now->store(now->load() + seconds); }
};

// What the fake power service saw and holds; shared with the test.
struct PowerRecord {
    std::function<void()> willSleep;
    int locksHeld = 0;
    std::vector<std::string> reasons;
};

class FakeSystemPower final : public SystemPower {
public:
    explicit FakeSystemPower(std::shared_ptr<PowerRecord> record)
        : record_(std::move(record))
    {
    }
    void setWillSleepHandler(std::function<void()> handler) override { record_->willSleep = std::move(handler); }
    std::unique_ptr<PowerLock> delaySleep(const std::string& why) override
    {
        record_->reasons.push_back(why);
        return std::make_unique<Lock>(record_);
    }

private:
    struct Lock final : PowerLock {
        explicit Lock(std::shared_ptr<PowerRecord> record)
            : record(std::move(record))
        {
            ++this->record->locksHeld;
        }
        ~Lock() override { --record->locksHeld; }
        std::shared_ptr<PowerRecord> record;
    };
    std::shared_ptr<PowerRecord> record_;
};

// The whole fake platform; services() hands the model its share, the test keeps the controls.
struct FakeStudioPlatform {
    std::shared_ptr<ManualJobs> jobs = std::make_shared<ManualJobs>();
    std::shared_ptr<ManualMainThread> mainThread = std::make_shared<ManualMainThread>();
    std::shared_ptr<ManualTimers> timers = std::make_shared<ManualTimers>();
    FakeClock clock;
    std::shared_ptr<PowerRecord> power = std::make_shared<PowerRecord>();

    StudioServices services(std::shared_ptr<DockLightingIO> io, bool demo = false) const
    {
        return StudioServices {std::move(io), demo,           std::make_unique<ManualWorkQueue>(jobs), mainThread,
                               timers,        clock.uptime(), std::make_unique<FakeSystemPower>(power)};
    }
    // Runs one queued job and delivers what it posted.
    bool step()
    {
        const bool ran = jobs->runNext();
        mainThread->runPending();
        return ran;
    }
    // Runs queued jobs and delivers their completions until nothing is left.
    void settle()
    {
        mainThread->runPending();
        while (step()) { }
    }
};

// Docks that keep their state in memory, fail the steps a test names, and answer nothing once unlisted.
struct ScriptedDocks final : DockLightingIO {
    // The operation kinds a failure can be attached to.
    enum class Step { list, read, apply, colors };

    std::vector<RGBDevice> list() override
    {
        check(Step::list, 0);
        return listed;
    }
    LightingSettings read(const RGBDevice& device) override
    {
        check(Step::read, device.id);
        return state.at(device.id);
    }
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override
    {
        check(Step::apply, device.id);
        persisted.push_back(persist);
        return state.at(device.id) = settings;
    }
    void writeColors(const DockColors& colors) override
    {
        ++frames;
        check(Step::colors, 0);
        for (const auto& [device, color] : colors) {
            state.at(device.id).color = color;
        }
    }

    void check(Step step, std::uint64_t id)
    {
        if (onCall) {
            onCall(step);
        }
        // An unplugged dock answers nothing.
        if (id != 0 && std::ranges::none_of(listed, [&](const RGBDevice& device) { return device.id == id; })) {
            throw TransportError::disconnected();
        }
        const auto failure = failing.find({step, id});
        if (failure != failing.end()) {
            const UserFacingError error(failure->second);
            if (failOnce) {
                failing.erase(failure);
            }
            throw error;
        }
    }

    std::vector<RGBDevice> listed = RGBDevice::demoDevices();
    std::map<std::uint64_t, LightingSettings> state {
        {1, {true, LightingEffect::breathing, 100, 5, {0xFF, 0x64, 0x00}}},
        {2, {true, LightingEffect::wave, 70, 3, {0x33, 0x66, 0x99}}},
        {3, {false, LightingEffect::solid, 60, 2, {0x22, 0xC5, 0x5E}}},
    };
    // Step and dock ID (0 for list and colours) to the text the failure carries.
    std::map<std::pair<Step, std::uint64_t>, std::string> failing;
    // Whether each failure happens once only, as when a retry would succeed.
    bool failOnce = false;
    std::function<void(Step)> onCall;
    std::vector<bool> persisted;
    int frames = 0;
};

// A model over scripted docks and the fake platform, counting its change notifications. The first
// scan is queued (delivered at once in demo mode) and not yet run.
struct FakeStudio {
    explicit FakeStudio(bool demo = false)
        : model(std::make_unique<StudioModel>(platform.services(docks, demo)))
    {
        model->setChangeHandler([this] { ++changes; });
    }

    FakeStudioPlatform platform;
    std::shared_ptr<ScriptedDocks> docks = std::make_shared<ScriptedDocks>();
    std::unique_ptr<StudioModel> model;
    int changes = 0;
};

} // namespace kavrin::fakes
