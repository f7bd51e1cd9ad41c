#pragma once

#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace kavrin {

// The dock a one-dock command works on: the listed one with `requestedID`, or else the only one
// listed. Throws TransportError::noDevice or ::ambiguous.
const RGBDevice& chosenDevice(const std::vector<RGBDevice>& devices, std::optional<std::uint64_t> requestedID);

// The dock's model; TransportError::unsupported when its IDs name none.
ControllerProfile profileOf(const RGBDevice& device);

} // namespace kavrin
