#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// A sysfs and /dev tree in a fresh temporary folder, laid out as the kernel lays out hidraw
// nodes, HID devices and USB devices; removed again when destroyed.
class FakeSysfsTree {
public:
    struct USBDevice {
        std::string busnum;
        std::string devpath;
        std::optional<std::string> manufacturer;
        std::optional<std::string> product;
    };

    FakeSysfsTree();
    ~FakeSysfsTree();
    FakeSysfsTree(const FakeSysfsTree&) = delete;
    FakeSysfsTree& operator=(const FakeSysfsTree&) = delete;

    std::filesystem::path sysfs() const { return root_ / "sys"; }
    std::filesystem::path dev() const { return root_ / "dev"; }

    // A USB device directory below a PCI controller; returns its path.
    std::filesystem::path addUSBDevice(const std::string& name, const USBDevice& device);
    // A HID device directory (named "BBBB:VVVV:PPPP.NNNN") below `parent`; returns its path.
    std::filesystem::path addHIDDevice(const std::filesystem::path& parent, const std::string& name,
                                       const std::string& uevent, const std::vector<std::uint8_t>& descriptor);
    // The hidraw node of a HID device: its class entry, its device link and its /dev file.
    void addNode(const std::string& node, const std::filesystem::path& hidDevice);
    // Points an existing node at another HID device, as when the kernel reuses the node number.
    void relinkNode(const std::string& node, const std::filesystem::path& hidDevice);

    static void write(const std::filesystem::path& path, const std::string& content);

private:
    std::filesystem::path root_;
};

} // namespace kavrin
