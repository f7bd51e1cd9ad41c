#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"
#include "KavrinRGBStudio/groups/DockOutcome.hpp"
#include "RGBProtocol/animation/AnimationModel.hpp"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace kavrin {

// Drives several docks with one software animation from one clock, so they stay in phase, and
// writes their previous hardware settings back when stopped.
//
// The owner's serial work queue calls the constructor, render() and stop(); the interface thread
// calls update() and cancel(). The lock guards only the animation settings and the cancelled flag
// and is never held during device traffic, so a slow write cannot block the interface thread.
// stop() is safe from any thread and restores once, but frames and the restore share the dock
// back-end, so an owner keeps render() and stop() on that one queue.
class LiveLightingRun {
public:
    // Seconds, monotonic.
    using Clock = std::function<double()>;

    // The system's one uptime clock, for previews and live output alike: monotonic seconds since an
    // arbitrary start (steady_clock, which is CLOCK_MONOTONIC on Linux).
    static double uptime();

    // Snapshots every target and switches it to a steady colour at full brightness. Throws
    // ProtocolError::invalidSettings or capture's refusal with nothing written, or, for any failure
    // once writing has begun (the clock's included), GroupLightingError after rolling back the docks
    // already touched.
    LiveLightingRun(std::shared_ptr<DockLightingIO> io, std::vector<RGBDevice> targets,
                    const AnimationSettings& settings, const Clock& clock = uptime);

    LiveLightingRun(const LiveLightingRun&) = delete;
    LiveLightingRun& operator=(const LiveLightingRun&) = delete;

    // Time zero of the animation: the clock reading once the docks were ready.
    double startedAt() const { return startedAt_; }

    // Sends one colour to every target; absent (nothing written) once cancelled. `now` is on the
    // clock's time base. The colour write's error passes through and the run keeps running.
    std::optional<LightColor> render(double now);
    // Takes effect from the next frame without restarting the clock. Throws
    // ProtocolError::invalidSettings and keeps the current animation.
    void update(const AnimationSettings& settings);
    // Stops further frames at once; writes nothing.
    void cancel();
    // Cancels and restores the snapshot once; later calls return the same outcomes and write nothing.
    // Destroying the run restores nothing, so owners call this first.
    std::vector<DockOutcome> stop();

private:
    double prepareDocks(const Clock& clock);
    std::optional<AnimationSettings> frameSettings();

    std::vector<RGBDevice> targets_;
    std::shared_ptr<DockLightingIO> io_;
    std::mutex lock_;
    AnimationSettings settings_;
    bool cancelled_ = false;
    DockSnapshot before_;
    double startedAt_ = 0;
    // Serialises stop() so that two callers restore once between them.
    std::mutex stopLock_;
    std::optional<std::vector<DockOutcome>> restored_;
};

} // namespace kavrin
