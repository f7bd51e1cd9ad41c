#include "KavrinRGBStudio/model/StudioSettingsSaver.hpp"

#include <utility>

namespace kavrin {

namespace {

constexpr double settleInterval = 1.0;

} // namespace

StudioSettingsSaver::StudioSettingsSaver(Save save, std::shared_ptr<TimerFactory> timers, const StudioSettings& saved)
    : save_(std::move(save))
    , timers_(std::move(timers))
    , latest_(saved)
    , saved_(saved)
{
}

void StudioSettingsSaver::note(const StudioSettings& settings)
{
    latest_ = settings;
    if (latest_ != saved_ && !timer_) {
        // Ticks stop when the timer is dropped, at the latest with the saver.
        timer_ = timers_->startRepeating(settleInterval, [this] { tick(); });
    }
}

void StudioSettingsSaver::flush()
{
    timer_.reset();
    if (latest_ != saved_) {
        write();
    }
}

void StudioSettingsSaver::tick()
{
    if (latest_ == saved_) {
        // A quiet second: the edits have settled and the last of them is saved.
        timer_.reset();
        return;
    }
    write();
}

void StudioSettingsSaver::write()
{
    save_(latest_);
    saved_ = latest_;
}

} // namespace kavrin
