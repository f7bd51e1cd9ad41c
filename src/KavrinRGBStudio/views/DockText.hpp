#pragma once

#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include <QString>

#include <optional>
#include <string_view>

namespace kavrin {

// How the window names docks; shared by the sidebar, the header and the panels.

// The core's UTF-8 texts as Qt strings.
QString qtText(std::string_view text);

// The dock's model from its IDs, the older model when nothing (or nothing known) is selected.
ControllerProfile profileOrDefault(const std::optional<RGBDevice>& device);
// The model title, or "未知扩展坞" when the IDs match no model.
QString modelTitle(const RGBDevice& device);
// "0x" and at least eight upper-case hexadecimal digits.
QString locationText(std::int64_t locationID);
// The model title, a blank and the location.
QString dockName(const RGBDevice& device);
// Four upper-case hexadecimal digits, for vendor and product IDs.
QString usbIDText(std::int64_t id);

} // namespace kavrin
