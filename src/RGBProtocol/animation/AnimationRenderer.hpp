#pragma once

#include "RGBProtocol/animation/AnimationModel.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

namespace kavrin::AnimationRenderer {

// The lamp colour at an animation time (seconds) and a position along the lamp (0 at one end, 1 at
// the other). Pure and allocation-free, so any thread may call it; every input gives a colour.
LightColor color(const AnimationSettings& settings, double elapsed, double position) noexcept;

} // namespace kavrin::AnimationRenderer
