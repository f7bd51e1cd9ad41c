#include "KavrinRGBStudio/device/DemoDockIO.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include <array>

namespace kavrin {

namespace {

struct DemoDock {
    RGBDevice device;
    LightingSettings initial;
};

// In listing order, which is not the location order the real transport would give.
const std::array<DemoDock, 3>& demoDocks()
{
    static const std::array<DemoDock, 3> docks {{
        {{1, 0x1044, 0x7A3E, 0x21220000, "HOLTEK", "演示设备", 8},
         {true, LightingEffect::breathing, 100, 5, {0xFF, 0x64, 0x00}}},
        {{2, 0x0414, 0x7A61, 0x01130000, "HOLTEK", "MIND CUBE 演示设备", 8},
         {true, LightingEffect::wave, 70, 3, {0x33, 0x66, 0x99}}},
        {{3, 0x1044, 0x7A3E, 0x31220000, "HOLTEK", "另一台 FORGE CUBE 演示设备", 8},
         {true, LightingEffect::solid, 60, 2, {0x22, 0xC5, 0x5E}}},
    }};
    return docks;
}

} // namespace

const std::vector<RGBDevice>& RGBDevice::demoDevices()
{
    static const std::vector<RGBDevice> devices = [] {
        std::vector<RGBDevice> listed;
        for (const DemoDock& dock : demoDocks()) {
            listed.push_back(dock.device);
        }
        return listed;
    }();
    return devices;
}

DemoDockIO::DemoDockIO()
{
    for (const DemoDock& dock : demoDocks()) {
        settings_.emplace(dock.device.id, dock.initial);
    }
}

std::vector<RGBDevice> DemoDockIO::list()
{
    return RGBDevice::demoDevices();
}

LightingSettings DemoDockIO::read(const RGBDevice& device)
{
    const std::lock_guard guard(lock_);
    const auto entry = settings_.find(device.id);
    if (entry == settings_.end()) {
        throw TransportError::disconnected();
    }
    return entry->second;
}

LightingSettings DemoDockIO::apply(const LightingSettings& settings, const RGBDevice& device, bool /*persist*/)
{
    const auto profile = matchingProfile(device.vendorID, device.productID);
    if (!profile) {
        throw TransportError::unsupported();
    }
    validate(*profile, settings);
    LightingSettings reported = settings;
    // A dark lamp reports full brightness on both models.
    reported.brightness = settings.isOn ? effectiveBrightness(*profile, settings) : 100;

    const std::lock_guard guard(lock_);
    const auto entry = settings_.find(device.id);
    if (entry == settings_.end()) {
        throw TransportError::disconnected();
    }
    entry->second = reported;
    return reported;
}

void DemoDockIO::writeColors(const DockColors& colors)
{
    const std::lock_guard guard(lock_);
    for (const auto& [device, color] : colors) {
        if (!settings_.contains(device.id)) {
            throw TransportError::disconnected();
        }
    }
    for (const auto& [device, color] : colors) {
        settings_.at(device.id).color = color;
    }
}

} // namespace kavrin
