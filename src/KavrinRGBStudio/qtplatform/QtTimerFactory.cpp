#include "KavrinRGBStudio/qtplatform/QtTimerFactory.hpp"

#include <QTimer>

#include <cmath>

namespace kavrin {

namespace {

class QtRepeatingTimer final : public RepeatingTimer {
public:
    QtRepeatingTimer(double intervalSeconds, std::function<void()> tick)
    {
        // Live frames are due every 125 ms; a coarse timer may drift by 5 % and lower the frame rate.
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(static_cast<int>(std::lround(intervalSeconds * 1000)));
        QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
        timer_.start();
    }

private:
    // Destroying the QTimer stops it and discards a timeout not yet delivered.
    QTimer timer_;
};

} // namespace

std::unique_ptr<RepeatingTimer> QtTimerFactory::startRepeating(double intervalSeconds, std::function<void()> tick)
{
    return std::make_unique<QtRepeatingTimer>(intervalSeconds, std::move(tick));
}

} // namespace kavrin
