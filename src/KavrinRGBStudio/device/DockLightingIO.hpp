#pragma once

#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <unordered_map>
#include <vector>

namespace kavrin {

using DockColors = std::unordered_map<RGBDevice, LightColor, RGBDeviceHash>;

// The only way above the device layer to reach docks. Every operation may throw a
// TransportError or ProtocolError.
//
// One owner drives a back-end, from one serial work queue at a time: the hidraw transport pairs
// each request with the answer that follows it, and two callers on one dock would interleave
// those pairs. The demo back-end happens to tolerate more, but callers may not rely on it.
class DockLightingIO {
public:
    virtual ~DockLightingIO() = default;

    // The docks that can be addressed now, in display order.
    virtual std::vector<RGBDevice> list() = 0;
    virtual LightingSettings read(const RGBDevice& device) = 0;
    // Applies and verifies; returns what the dock reports afterwards.
    virtual LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) = 0;
    // Sets each dock's colour at once, without verification.
    virtual void writeColors(const DockColors& colors) = 0;
};

} // namespace kavrin
