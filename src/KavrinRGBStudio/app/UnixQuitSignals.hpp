#pragma once

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <functional>
#include <memory>

namespace kavrin {

// Turns SIGINT, SIGTERM and SIGHUP into an ordinary call on the event loop. The handler only writes
// a byte to a socket pair, the one thing that is safe inside a signal handler; the read end wakes
// the event loop. A signal the process inherited as ignored stays ignored, as nohup expects. One
// instance at a time; the previous handlers come back when it is destroyed.
class UnixQuitSignals {
public:
    static constexpr std::array<int, 3> handled {SIGINT, SIGTERM, SIGHUP};

    explicit UnixQuitSignals(std::function<void()> received);
    ~UnixQuitSignals();

    UnixQuitSignals(const UnixQuitSignals&) = delete;
    UnixQuitSignals& operator=(const UnixQuitSignals&) = delete;

private:
    void drain();

    std::array<int, 2> pair_ {-1, -1};
    std::array<struct sigaction, handled.size()> previous_ {};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> received_;
};

} // namespace kavrin
