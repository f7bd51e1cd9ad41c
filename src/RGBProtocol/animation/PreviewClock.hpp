#pragma once

namespace kavrin {

// Animation time for the on-screen preview; pausing freezes it and resuming continues without a jump.
// Times are seconds on the caller's monotonic clock.
class PreviewClock {
public:
    explicit PreviewClock(double now)
        : anchor_(now)
    {
    }

    // Never less than the time accumulated before the current stretch, even if the clock steps back.
    double elapsed(double now) const;
    void setRunning(bool running, double now);
    bool running() const { return running_; }

private:
    double anchor_;
    double offset_ = 0;
    bool running_ = true;
};

} // namespace kavrin
