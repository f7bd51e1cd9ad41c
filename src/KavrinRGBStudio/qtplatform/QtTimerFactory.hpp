#pragma once

#include "KavrinRGBStudio/model/StudioPlatform.hpp"

namespace kavrin {

// Repeating timers on the event loop of the calling thread; start them on the main thread.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<RepeatingTimer> startRepeating(double intervalSeconds, std::function<void()> tick) override;
};

} // namespace kavrin
