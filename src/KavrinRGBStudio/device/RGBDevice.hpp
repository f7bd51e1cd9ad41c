#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kavrin {

// One dock's lighting interface. Two records are the same dock only when all seven fields agree:
// the same ID at another location is another connection.
struct RGBDevice {
    std::uint64_t id = 0;
    std::int64_t vendorID = 0;
    std::int64_t productID = 0;
    std::int64_t locationID = 0;
    std::string manufacturer;
    std::string product;
    std::int64_t featureBytes = 0;

    // The three simulated docks of demonstration mode (defined with the demo back-end).
    static const std::vector<RGBDevice>& demoDevices();

    friend bool operator==(const RGBDevice&, const RGBDevice&) = default;
};

// The model title ("未知扩展坞" when the IDs match no model) and the USB location, as lists of docks
// show them: "FORGE CUBE 0x03240000". A location beyond 32 bits is shown whole rather than truncated.
std::string dockLabel(const RGBDevice& device);

// The dock's model, or the older one when its IDs match none, as the editor treats an unknown dock.
ControllerProfile profileOrLegacy(const RGBDevice& device);

struct RGBDeviceHash {
    std::size_t operator()(const RGBDevice& device) const;
};

void to_json(nlohmann::json& json, const RGBDevice& device);
void from_json(const nlohmann::json& json, RGBDevice& device);

} // namespace kavrin
