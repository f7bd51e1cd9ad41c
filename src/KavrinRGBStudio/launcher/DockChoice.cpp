#include "KavrinRGBStudio/launcher/DockChoice.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"

#include <algorithm>

namespace kavrin {

const RGBDevice& chosenDevice(const std::vector<RGBDevice>& devices, std::optional<std::uint64_t> requestedID)
{
    if (requestedID) {
        const auto found = std::ranges::find(devices, *requestedID, &RGBDevice::id);
        if (found == devices.end()) {
            throw TransportError::noDevice();
        }
        return *found;
    }
    if (devices.size() > 1) {
        throw TransportError::ambiguous();
    }
    if (devices.empty()) {
        throw TransportError::noDevice();
    }
    return devices.front();
}

ControllerProfile profileOf(const RGBDevice& device)
{
    const std::optional<ControllerProfile> profile = matchingProfile(device.vendorID, device.productID);
    if (!profile) {
        throw TransportError::unsupported();
    }
    return *profile;
}

} // namespace kavrin
