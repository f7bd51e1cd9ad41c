#include "KavrinRGBStudio/app/UnixQuitSignals.hpp"

#include <cerrno>
#include <stdexcept>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace kavrin {

namespace {

// Read by the signal handler, so a plain global of a lock-free type.
volatile std::sig_atomic_t signalWriteEnd = -1;

void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // Non-blocking: when the pair is full a wake-up is pending already, so dropping the byte is fine.
    [[maybe_unused]] const auto written = ::write(signalWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

UnixQuitSignals::UnixQuitSignals(std::function<void()> received)
    : received_(std::move(received))
{
    if (signalWriteEnd != -1) {
        throw std::logic_error("UnixQuitSignals: one instance at a time");
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair_.data()) != 0) {
        throw std::system_error(errno, std::generic_category(), "socketpair");
    }
    signalWriteEnd = pair_[0];
    notifier_ = std::make_unique<QSocketNotifier>(pair_[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });

    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handled.size(); ++i) {
        ::sigaction(handled[i], nullptr, &previous_[i]);
        // Ignored when inherited ignored: nohup's SIGHUP, a background job's SIGINT.
        if (previous_[i].sa_handler != SIG_IGN) {
            ::sigaction(handled[i], &action, nullptr);
        }
    }
}

UnixQuitSignals::~UnixQuitSignals()
{
    for (std::size_t i = 0; i < handled.size(); ++i) {
        ::sigaction(handled[i], &previous_[i], nullptr);
    }
    notifier_.reset();
    signalWriteEnd = -1;
    ::close(pair_[0]);
    ::close(pair_[1]);
}

void UnixQuitSignals::drain()
{
    char bytes[16];
    while (::read(pair_[1], bytes, sizeof bytes) > 0) { }
    received_();
}

} // namespace kavrin
