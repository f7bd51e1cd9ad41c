#include "RGBProtocol/animation/PreviewClock.hpp"

namespace kavrin {

double PreviewClock::elapsed(double now) const
{
    const double sinceAnchor = now - anchor_;
    return running_ && sinceAnchor >= 0 ? offset_ + sinceAnchor : offset_;
}

void PreviewClock::setRunning(bool running, double now)
{
    if (running == running_) {
        return;
    }
    offset_ = elapsed(now);
    anchor_ = now;
    running_ = running;
}

} // namespace kavrin
