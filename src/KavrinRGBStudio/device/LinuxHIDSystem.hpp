#pragma once

#include "KavrinRGBStudio/device/HIDSystem.hpp"

#include <filesystem>

namespace kavrin {

// HID access through the kernel's hidraw nodes, described by sysfs. Keeps no handle between calls.
class LinuxHIDSystem : public HIDSystem {
public:
    explicit LinuxHIDSystem(std::filesystem::path sysfsRoot = "/sys", std::filesystem::path devRoot = "/dev");

    // A kernel without hidraw has no class directory: that is no interfaces, not a failure.
    HIDResult<std::vector<HIDInterface>> interfaces() override;
    // Read-write, close-on-exec and shared, so other programs may use the dock at the same time.
    HIDResult<std::unique_ptr<HIDConnection>> open(const HIDInterface& interface) override;

private:
    std::filesystem::path sysfsRoot_;
    std::filesystem::path devRoot_;
};

} // namespace kavrin
