#include "KavrinRGBStudio/model/SerialWorkQueue.hpp"

#include <utility>

namespace kavrin {

SerialWorkQueue::SerialWorkQueue()
    : worker_([this] { work(); })
{
}

SerialWorkQueue::~SerialWorkQueue()
{
    {
        const std::lock_guard guard(lock_);
        closing_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void SerialWorkQueue::submit(std::function<void()> job)
{
    {
        const std::lock_guard guard(lock_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void SerialWorkQueue::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [this] { return closing_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        // Outside the lock, so that submitting never waits for a device.
        job();
    }
}

} // namespace kavrin
