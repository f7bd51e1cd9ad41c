#pragma once

#include "KavrinRGBStudio/device/HIDSystem.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kavrin {

// Reads what sysfs knows about one hidraw node (e.g. "hidraw3"): the HID device it belongs to,
// its IDs and report descriptor, and the USB device above it. Nothing when the node is gone.
std::optional<HIDInterface> readSysfsHIDNode(const std::filesystem::path& sysfsRoot, const std::string& node);

// The instance number of the HID device a hidraw node belongs to now. The kernel numbers every
// new HID device afresh, so the number tells one connection from the next.
std::optional<std::uint64_t> sysfsHIDInstance(const std::filesystem::path& sysfsRoot, const std::string& node);

} // namespace kavrin
