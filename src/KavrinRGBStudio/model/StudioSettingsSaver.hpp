#pragma once

#include "KavrinRGBStudio/model/StudioPlatform.hpp"
#include "KavrinRGBStudio/model/StudioSettingsStore.hpp"

#include <functional>
#include <memory>

namespace kavrin {

// Saves the studio settings once edits settle: while they keep coming (a slider being dragged) at most
// once a second, on a one-second timer that runs only while something is left to save, and once more
// on flush, at quit.
class StudioSettingsSaver {
public:
    // Failures are the store's to report; a failed save is tried again with the next change.
    using Save = std::function<void(const StudioSettings& settings)>;

    // `saved` is what the store holds now.
    StudioSettingsSaver(Save save, std::shared_ptr<TimerFactory> timers, const StudioSettings& saved);

    // Called with the current settings after every change of the model; equal settings are no change.
    void note(const StudioSettings& settings);
    void flush();

private:
    void tick();
    void write();

    Save save_;
    std::shared_ptr<TimerFactory> timers_;
    StudioSettings latest_;
    // What was last handed to the store.
    StudioSettings saved_;
    std::unique_ptr<RepeatingTimer> timer_;
};

} // namespace kavrin
