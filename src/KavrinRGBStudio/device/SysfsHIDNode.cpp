#include "KavrinRGBStudio/device/SysfsHIDNode.hpp"

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "RGBProtocol/lighting/HIDUsagePages.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <string_view>
#include <vector>

namespace kavrin {

namespace {

namespace fs = std::filesystem;

// Far above anything the kernel writes (a report descriptor is at most 4096 bytes); a larger
// file is not a sysfs attribute and is treated as missing.
constexpr std::size_t attributeLimit = 65536;
constexpr std::size_t maximumLocationLevels = 6;
constexpr std::uint32_t maximumLocationPort = 15;
constexpr std::uint32_t maximumLocationBus = 255;

std::optional<std::string> readAttribute(const fs::path& path)
{
    // Non-blocking so that a stray FIFO cannot hang enumeration.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.isOpen()) {
        return std::nullopt;
    }
    std::string content;
    std::array<char, 4096> chunk {};
    while (content.size() <= attributeLimit) {
        const ssize_t count = ::read(file.get(), chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return content;
        }
        content.append(chunk.data(), static_cast<std::size_t>(count));
    }
    return std::nullopt;
}

std::optional<std::string> readTextAttribute(const fs::path& path)
{
    std::optional<std::string> text = readAttribute(path);
    if (text && text->ends_with('\n')) {
        text->pop_back();
    }
    return text;
}

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

std::optional<std::uint64_t> instanceNumber(const std::string& hidDeviceName)
{
    // "BBBB:VVVV:PPPP.NNNN": the instance is the hexadecimal number after the last dot.
    const std::size_t dot = hidDeviceName.rfind('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    return parseNumber<std::uint64_t>(std::string_view(hidDeviceName).substr(dot + 1), 16);
}

void readIDs(const fs::path& hidDevice, HIDInterface& interface)
{
    // "HID_ID=BBBB:VVVVVVVV:PPPPPPPP", all hexadecimal.
    constexpr std::string_view key = "HID_ID=";
    const std::string uevent = readAttribute(hidDevice / "uevent").value_or("");
    for (const std::string_view line : split(uevent, '\n')) {
        if (!line.starts_with(key)) {
            continue;
        }
        const std::vector<std::string_view> fields = split(line.substr(key.size()), ':');
        const auto vendor = fields.size() == 3 ? parseNumber<std::uint32_t>(fields[1], 16) : std::nullopt;
        const auto product = fields.size() == 3 ? parseNumber<std::uint32_t>(fields[2], 16) : std::nullopt;
        if (vendor && product) {
            interface.vendorID = *vendor;
            interface.productID = *product;
        }
        return;
    }
}

std::optional<fs::path> usbDeviceAbove(const fs::path& hidDevice, const fs::path& sysfsRoot)
{
    std::error_code error;
    for (fs::path directory = hidDevice.parent_path(); directory != sysfsRoot && directory != directory.parent_path();
         directory = directory.parent_path()) {
        if (fs::exists(directory / "busnum", error) && fs::exists(directory / "devpath", error)) {
            return directory;
        }
    }
    return std::nullopt;
}

// The bus number in bits 24 to 31, then one 4-bit field per port from bits 20 to 23 downwards.
std::int64_t locationID(const fs::path& usbDevice)
{
    const auto bus = parseNumber<std::uint32_t>(readTextAttribute(usbDevice / "busnum").value_or(""), 10);
    const std::optional<std::string> devpath = readTextAttribute(usbDevice / "devpath");
    if (!bus || !devpath) {
        return 0;
    }
    std::uint32_t location = std::min(*bus, maximumLocationBus) << 24;
    const std::vector<std::string_view> ports = split(*devpath, '.');
    for (std::size_t level = 0; level < ports.size() && level < maximumLocationLevels; ++level) {
        const auto port = parseNumber<std::uint32_t>(ports[level], 10);
        if (!port) {
            return 0;
        }
        location |= std::min(*port, maximumLocationPort) << (20 - 4 * level);
    }
    return location;
}

std::optional<fs::path> hidDeviceOf(const fs::path& sysfsRoot, const std::string& node)
{
    std::error_code error;
    fs::path hidDevice = fs::canonical(sysfsRoot / "class" / "hidraw" / node / "device", error);
    if (error) {
        return std::nullopt;
    }
    return hidDevice;
}

} // namespace

std::optional<HIDInterface> readSysfsHIDNode(const fs::path& sysfsRoot, const std::string& node)
{
    const std::optional<fs::path> hidDevice = hidDeviceOf(sysfsRoot, node);
    if (!hidDevice) {
        return std::nullopt;
    }
    HIDInterface interface;
    interface.node = node;
    interface.registryID = instanceNumber(hidDevice->filename().string());
    readIDs(*hidDevice, interface);
    const std::string descriptor = readAttribute(*hidDevice / "report_descriptor").value_or("");
    interface.reportDescriptor.assign(descriptor.begin(), descriptor.end());
    interface.usagePages = topLevelUsagePages(interface.reportDescriptor);

    std::error_code error;
    const fs::path root = fs::canonical(sysfsRoot, error);
    if (const std::optional<fs::path> usbDevice = usbDeviceAbove(*hidDevice, error ? sysfsRoot : root)) {
        interface.locationID = locationID(*usbDevice);
        interface.manufacturer = readTextAttribute(*usbDevice / "manufacturer");
        interface.product = readTextAttribute(*usbDevice / "product");
    }
    return interface;
}

std::optional<std::uint64_t> sysfsHIDInstance(const fs::path& sysfsRoot, const std::string& node)
{
    const std::optional<fs::path> hidDevice = hidDeviceOf(sysfsRoot, node);
    return hidDevice ? instanceNumber(hidDevice->filename().string()) : std::nullopt;
}

} // namespace kavrin
