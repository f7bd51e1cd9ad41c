#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace kavrin {

// The three simulated docks of demonstration mode, kept in memory. Reports what a real dock
// would after an apply (the older model's brightness rounding included) and writes no hardware.
// Safe to call from several threads at once; no operation sleeps.
class DemoDockIO final : public DockLightingIO {
public:
    DemoDockIO();

    std::vector<RGBDevice> list() override;
    LightingSettings read(const RGBDevice& device) override;
    // persist has no effect: there is nothing to store across power loss.
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override;
    // Either every listed dock takes its colour or none does.
    void writeColors(const DockColors& colors) override;

private:
    std::mutex lock_;
    std::unordered_map<std::uint64_t, LightingSettings> settings_;
};

} // namespace kavrin
