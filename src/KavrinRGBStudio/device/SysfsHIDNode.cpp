#include "KavrinRGBStudio/device/SysfsHIDNode.hpp"

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "KavrinRGBStudio/device/SysfsAttributes.hpp"
#include "RGBProtocol/lighting/HIDUsagePages.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace kavrin {

namespace {

namespace fs = std::filesystem;

// Far above anything the kernel writes (a report descriptor is at most 4096 bytes); a larger
// file is not a sysfs attribute and is treated as missing.
constexpr std::size_t attributeLimit = 65536;
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

void readIDs(const fs::path& hidDevice, HIDInterface& interface)
{
    if (const auto ids = ueventHIDIDs(readAttribute(hidDevice / "uevent").value_or(""))) {
        interface.vendorID = ids->vendorID;
        interface.productID = ids->productID;
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

std::int64_t locationID(const fs::path& usbDevice)
{
    const std::optional<std::string> busnum = readTextAttribute(usbDevice / "busnum");
    const std::optional<std::string> devpath = readTextAttribute(usbDevice / "devpath");
    return busnum && devpath ? usbLocationID(*busnum, *devpath) : 0;
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
    interface.registryID = hidDeviceInstance(hidDevice->filename().string());
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
    return hidDevice ? hidDeviceInstance(hidDevice->filename().string()) : std::nullopt;
}

} // namespace kavrin
