#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kavrin {

// The text parsers of the sysfs attributes the HID enumeration reads. They see only the text, so
// that what the kernel (or anything posing as sysfs) writes there is checked in one place.

struct HIDDeviceIDs {
    std::uint32_t vendorID = 0;
    std::uint32_t productID = 0;
};

// The IDs of the first "HID_ID=BBBB:VVVVVVVV:PPPPPPPP" line of a HID device's uevent; nothing when
// that line is missing or malformed.
std::optional<HIDDeviceIDs> ueventHIDIDs(std::string_view uevent);

// The instance number of a HID device named "BBBB:VVVV:PPPP.NNNN": the hexadecimal number after the
// last dot.
std::optional<std::uint64_t> hidDeviceInstance(std::string_view hidDeviceName);

// A USB device's location from its busnum and devpath attributes (without their line ends): the bus
// in bits 24 to 31, then one 4-bit field per port from bits 20 to 23 downwards, each clamped to its
// field; 0 when either attribute is malformed.
std::int64_t usbLocationID(std::string_view busnum, std::string_view devpath);

} // namespace kavrin
