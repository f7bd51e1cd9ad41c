#include "KavrinRGBStudio/app/QuitHandshake.hpp"

#include "KavrinRGBStudio/model/StudioModel.hpp"

namespace kavrin {

QuitHandshake::QuitHandshake(StudioModel& model, std::function<void()> quit)
    : model_(model)
    , quit_(std::move(quit))
{
}

void QuitHandshake::request()
{
    if (waiting_) {
        return;
    }
    if (!model_.hasPendingWork()) {
        quit_();
        return;
    }
    waiting_ = true;
    model_.prepareToQuit([this] { quit_(); });
}

} // namespace kavrin
