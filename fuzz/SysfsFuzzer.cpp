// Attribute text as sysfs (or anything mounted in its place) gives it: a HID device's uevent and
// name, and a USB device's busnum and devpath, separated by NUL bytes in that order.
#include "FuzzProperty.hpp"

#include "KavrinRGBStudio/device/SysfsAttributes.hpp"

#include <array>
#include <cstdio>
#include <string>

namespace kavrin::fuzz {
namespace {

std::array<std::string_view, 4> fields(std::string_view input)
{
    std::array<std::string_view, 4> parts {};
    for (std::string_view& part : parts) {
        const std::size_t stop = input.find('\0');
        part = input.substr(0, stop);
        input = stop == std::string_view::npos ? std::string_view() : input.substr(stop + 1);
    }
    return parts;
}

std::string hex(std::uint64_t value, int width)
{
    std::array<char, 24> text {};
    const int length = std::snprintf(text.data(), text.size(), "%0*llX", width, static_cast<unsigned long long>(value));
    return std::string(text.data(), static_cast<std::size_t>(length));
}

void uevent(std::string_view text)
{
    const std::optional<HIDDeviceIDs> ids = ueventHIDIDs(text);
    // Other lines before it change nothing; the IDs print back in the kernel's own form.
    const std::optional<HIDDeviceIDs> prefixed = ueventHIDIDs("DRIVER=hid-generic\n" + std::string(text));
    require(prefixed.has_value() == ids.has_value(), "a preceding line changed the IDs found");
    if (ids) {
        require(prefixed->vendorID == ids->vendorID && prefixed->productID == ids->productID,
                "a preceding line changed the IDs");
        const auto again = ueventHIDIDs("HID_ID=0003:" + hex(ids->vendorID, 8) + ":" + hex(ids->productID, 8));
        require(again && again->vendorID == ids->vendorID && again->productID == ids->productID,
                "IDs did not survive printing");
    }
}

void instance(std::string_view name)
{
    if (const std::optional<std::uint64_t> number = hidDeviceInstance(name)) {
        require(hidDeviceInstance("0003:1044:7A3E." + hex(*number, 4)) == number,
                "an instance did not survive printing");
    }
}

void location(std::string_view busnum, std::string_view devpath)
{
    const std::int64_t id = usbLocationID(busnum, devpath);
    require(id >= 0 && id <= 0xFFFFFFFF, "a location outside 32 bits");
    // The bus field is clamped, so clamping it again changes nothing.
    if (id != 0) {
        require(usbLocationID(std::to_string(id >> 24), devpath) == id, "a clamped bus moved the location");
    }
}

} // namespace
} // namespace kavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [uevent, name, busnum, devpath] = kavrin::fuzz::fields(kavrin::fuzz::text(data, size));
    kavrin::fuzz::uevent(uevent);
    kavrin::fuzz::instance(name);
    kavrin::fuzz::location(busnum, devpath);
    return 0;
}
