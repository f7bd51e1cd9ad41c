#include "KavrinRGBStudio/device/SysfsAttributes.hpp"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kavrin {

namespace {

constexpr std::size_t maximumLocationLevels = 6;
constexpr std::uint32_t maximumLocationPort = 15;
constexpr std::uint32_t maximumLocationBus = 255;

template <typename Number> std::optional<Number> parseNumber(std::string_view text, int base)
{
    Number value {};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t stop = text.find(separator, start);
        parts.push_back(text.substr(start, stop - start));
        if (stop == std::string_view::npos) {
            return parts;
        }
        start = stop + 1;
    }
}

} // namespace

std::optional<HIDDeviceIDs> ueventHIDIDs(std::string_view uevent)
{
    constexpr std::string_view key = "HID_ID=";
    for (const std::string_view line : split(uevent, '\n')) {
        if (!line.starts_with(key)) {
            continue;
        }
        const std::vector<std::string_view> fields = split(line.substr(key.size()), ':');
        const auto vendor = fields.size() == 3 ? parseNumber<std::uint32_t>(fields[1], 16) : std::nullopt;
        const auto product = fields.size() == 3 ? parseNumber<std::uint32_t>(fields[2], 16) : std::nullopt;
        if (vendor && product) {
            return HIDDeviceIDs {*vendor, *product};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> hidDeviceInstance(std::string_view hidDeviceName)
{
    const std::size_t dot = hidDeviceName.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    return parseNumber<std::uint64_t>(hidDeviceName.substr(dot + 1), 16);
}

std::int64_t usbLocationID(std::string_view busnum, std::string_view devpath)
{
    const auto bus = parseNumber<std::uint32_t>(busnum, 10);
    if (!bus) {
        return 0;
    }
    std::uint32_t location = std::min(*bus, maximumLocationBus) << 24;
    const std::vector<std::string_view> ports = split(devpath, '.');
    for (std::size_t level = 0; level < ports.size() && level < maximumLocationLevels; ++level) {
        const auto port = parseNumber<std::uint32_t>(ports[level], 10);
        if (!port) {
            return 0;
        }
        location |= std::min(*port, maximumLocationPort) << (20 - 4 * level);
    }
    return location;
}

} // namespace kavrin
