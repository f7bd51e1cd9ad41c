#pragma once

#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <optional>
#include <string>

namespace kavrin {

// The final result for one dock of a group action: what state it ended in and the line shown for it.
struct DockOutcome {
    RGBDevice device;
    // The dock's settings as last confirmed (a write's read-back, a fresh read, or the snapshot of an
    // untouched dock); absent when nothing could be confirmed.
    std::optional<LightingSettings> actual;
    std::string message;
    bool isError = false;

    friend bool operator==(const DockOutcome&, const DockOutcome&) = default;
};

} // namespace kavrin
