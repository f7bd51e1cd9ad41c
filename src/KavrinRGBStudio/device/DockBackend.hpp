#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"

#include <memory>

namespace kavrin {

// The one place that chooses the back-end: the simulated docks when `demo`, otherwise the real
// docks through the Linux HID system.
std::shared_ptr<DockLightingIO> makeDockLightingIO(bool demo);

} // namespace kavrin
