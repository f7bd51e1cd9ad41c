#include "FakeSysfsTree.hpp"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kavrin {

namespace fs = std::filesystem;

namespace {

void linkRelative(const fs::path& link, const fs::path& target)
{
    fs::remove(link);
    fs::create_directory_symlink(fs::relative(target, link.parent_path()), link);
}

} // namespace

FakeSysfsTree::FakeSysfsTree()
{
    std::string pattern = (fs::temp_directory_path() / "kavrin-sysfs-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    root_ = pattern;
    fs::create_directories(sysfs() / "class" / "hidraw");
    fs::create_directories(dev());
}

FakeSysfsTree::~FakeSysfsTree()
{
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

fs::path FakeSysfsTree::addUSBDevice(const std::string& name, const USBDevice& device)
{
    const fs::path directory = sysfs() / "devices" / "pci0000:00" / "0000:00:14.0" / "usb3" / name;
    fs::create_directories(directory);
    write(directory / "busnum", device.busnum);
    write(directory / "devpath", device.devpath);
    if (device.manufacturer) {
        write(directory / "manufacturer", *device.manufacturer);
    }
    if (device.product) {
        write(directory / "product", *device.product);
    }
    return directory;
}

fs::path FakeSysfsTree::addHIDDevice(const fs::path& parent, const std::string& name, const std::string& uevent,
                                     const std::vector<std::uint8_t>& descriptor)
{
    const fs::path directory = parent / name;
    fs::create_directories(directory / "hidraw");
    write(directory / "uevent", uevent);
    write(directory / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
    return directory;
}

void FakeSysfsTree::addNode(const std::string& node, const fs::path& hidDevice)
{
    write(dev() / node, "");
    relinkNode(node, hidDevice);
}

void FakeSysfsTree::relinkNode(const std::string& node, const fs::path& hidDevice)
{
    const fs::path classDevice = hidDevice / "hidraw" / node;
    fs::create_directories(classDevice);
    linkRelative(classDevice / "device", hidDevice);
    linkRelative(sysfs() / "class" / "hidraw" / node, classDevice);
}

void FakeSysfsTree::write(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

} // namespace kavrin
