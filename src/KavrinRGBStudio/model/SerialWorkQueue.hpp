#pragma once

#include "KavrinRGBStudio/model/StudioPlatform.hpp"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kavrin {

// The studio's one device thread: jobs run one at a time, in submission order, so the device
// traffic of the application never overlaps.
class SerialWorkQueue final : public WorkQueue {
public:
    SerialWorkQueue();
    // Runs the jobs already submitted, then joins: a queued restore still reaches the docks.
    ~SerialWorkQueue() override;

    SerialWorkQueue(const SerialWorkQueue&) = delete;
    SerialWorkQueue& operator=(const SerialWorkQueue&) = delete;

    void submit(std::function<void()> job) override;

private:
    void work();

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool closing_ = false;
    // Last, so that it starts once everything it reads is initialised.
    std::thread worker_;
};

} // namespace kavrin
