#pragma once

#include "KavrinRGBStudio/model/StudioPlatform.hpp"

#include <QObject>

namespace kavrin {

// Runs posted tasks on the event loop of the thread that made it, in the order they were posted.
// Tasks still waiting when it is destroyed are dropped.
class QtMainThread final : public MainThread {
public:
    // Callable from any thread.
    void post(std::function<void()> task) override;

private:
    // Queued invocations on one receiver are delivered in posting order, on the receiver's thread.
    QObject context_;
};

} // namespace kavrin
