#include "KavrinRGBStudio/device/RGBDevice.hpp"

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <cstdio>
#include <limits>

namespace kavrin {

ControllerProfile profileOrLegacy(const RGBDevice& device)
{
    return matchingProfile(device.vendorID, device.productID).value_or(ControllerProfile::forgeCubeLegacy);
}

std::string dockLabel(const RGBDevice& device)
{
    const auto profile = matchingProfile(device.vendorID, device.productID);
    char location[24];
    std::snprintf(location, sizeof location, "0x%08llX",
                  static_cast<unsigned long long>(static_cast<std::uint64_t>(device.locationID)));
    return (profile ? std::string(title(*profile)) : "未知扩展坞") + " " + location;
}

std::size_t RGBDeviceHash::operator()(const RGBDevice& device) const
{
    std::size_t seed = 0;
    const auto combine
        = [&seed](std::size_t value) { seed ^= value + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2); };
    combine(std::hash<std::uint64_t> {}(device.id));
    combine(std::hash<std::int64_t> {}(device.vendorID));
    combine(std::hash<std::int64_t> {}(device.productID));
    combine(std::hash<std::int64_t> {}(device.locationID));
    combine(std::hash<std::string> {}(device.manufacturer));
    combine(std::hash<std::string> {}(device.product));
    combine(std::hash<std::int64_t> {}(device.featureBytes));
    return seed;
}

void to_json(nlohmann::json& json, const RGBDevice& device)
{
    json = nlohmann::json {
        {"id", device.id},
        {"vendorID", device.vendorID},
        {"productID", device.productID},
        {"locationID", device.locationID},
        {"manufacturer", device.manufacturer},
        {"product", device.product},
        {"featureBytes", device.featureBytes},
    };
}

void from_json(const nlohmann::json& json, RGBDevice& device)
{
    const nlohmann::json& id = decodeMember(json, "id");
    if (!id.is_number_unsigned()) {
        throw DecodingError("member \"id\" is not an unsigned integer");
    }
    const auto text = [&json](const char* key) {
        const nlohmann::json& member = decodeMember(json, key);
        if (!member.is_string()) {
            throw DecodingError(std::string("member \"") + key + "\" is not text");
        }
        return member.get<std::string>();
    };
    device = RGBDevice {
        id.get<std::uint64_t>(),
        decodeInteger(json, "vendorID"),
        decodeInteger(json, "productID"),
        decodeInteger(json, "locationID"),
        text("manufacturer"),
        text("product"),
        decodeInteger(json, "featureBytes"),
    };
}

} // namespace kavrin
