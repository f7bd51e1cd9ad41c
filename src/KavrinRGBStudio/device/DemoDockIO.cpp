#include "KavrinRGBStudio/device/DemoDockIO.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"

namespace kavrin {

DemoDockIO::DemoDockIO()
    : settings_ {
        {1, LightingSettings {true, LightingEffect::breathing, 100, 5, LightColor {0xFF, 0x64, 0x00}}},
        {2, LightingSettings {true, LightingEffect::wave, 70, 3, LightColor {0x33, 0x66, 0x99}}},
        {3, LightingSettings {true, LightingEffect::solid, 60, 2, LightColor {0x22, 0xC5, 0x5E}}},
    }
{
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
