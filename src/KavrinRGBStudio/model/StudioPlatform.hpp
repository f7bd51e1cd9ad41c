#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kavrin {

// The few platform services the studio model stands on, each behind a handful of methods so that
// tests decide exactly when queued work runs, when completions arrive and when timers tick.

// Runs blocking device work off the main thread, one job at a time, in submission order.
class WorkQueue {
public:
    virtual ~WorkQueue() = default;
    virtual void submit(std::function<void()> job) = 0;
};

// Delivers tasks to the thread that owns the model, in the order they were posted.
class MainThread {
public:
    virtual ~MainThread() = default;
    // Callable from any thread.
    virtual void post(std::function<void()> task) = 0;
};

// A running repeating timer; destroying it stops it, and no tick arrives afterwards.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
};

// Repeating timers whose ticks arrive on the main thread.
class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<RepeatingTimer> startRepeating(double intervalSeconds, std::function<void()> tick) = 0;
};

// Held while live output runs so that sleep and power-off wait for the docks' restore.
class PowerLock {
public:
    virtual ~PowerLock() = default;
};

// The system's sleep and power-off announcements.
class SystemPower {
public:
    virtual ~SystemPower() = default;
    // The handler runs on the main thread when the system is about to sleep or power off.
    virtual void setWillSleepHandler(std::function<void()> handler) = 0;
    // Delays sleep and power-off until the lock is destroyed; null when the system offers no such lock.
    virtual std::unique_ptr<PowerLock> delaySleep(const std::string& why) = 0;
};

// Monotonic seconds, the time base of the preview and of live output.
using UptimeClock = std::function<double()>;

} // namespace kavrin
