#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <tuple>

#include <unistd.h>

namespace kavrin {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

// sysfs and /dev in a temporary folder, laid out as the kernel lays out hidraw nodes, HID devices
// and USB devices.
class LinuxHIDSystemTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(root); }

    // A HID device named "BBBB:VVVV:PPPP.NNNN" (NNNN its registry ID in hexadecimal) with `node` as
    // its hidraw node, below a USB device with the attributes busnum, devpath, manufacturer and
    // product, as many as `usb` gives, or virtual without them. Naming a node again is the kernel
    // handing its number on.
    void addNode(const std::string& node, const std::string& name, const std::vector<std::string>& usb = {})
    {
        const fs::path usbDevice = sysfs / "devices" / "pci0000:00" / "usb1";
        const fs::path device = (usb.empty() ? virtualDevices : usbDevice / "1-1:1.0") / name;
        fs::create_directories(device / "hidraw" / node);
        for (std::size_t index = 0; index < usb.size(); ++index) {
            write(usbDevice / std::array {"busnum", "devpath", "manufacturer", "product"}[index], usb[index]);
        }
        fs::create_directories(sysfs / "class" / "hidraw");
        fs::create_directories(dev);
        write(dev / node, "");
        fs::create_directory_symlink(device, device / "hidraw" / node / "device");
        fs::remove(sysfs / "class" / "hidraw" / node);
        fs::create_directory_symlink(device / "hidraw" / node, sysfs / "class" / "hidraw" / node);
    }

    std::vector<HIDInterface> interfaces()
    {
        HIDResult<std::vector<HIDInterface>> found = system.interfaces();
        EXPECT_EQ(found.status, 0u);
        return found.value;
    }

    const fs::path root = fs::path(::testing::TempDir()) / ("kavrin-sysfs-" + std::to_string(::getpid()));
    const fs::path sysfs = root / "sys";
    const fs::path dev = root / "dev";
    const fs::path virtualDevices = sysfs / "devices" / "virtual" / "misc" / "uhid";
    LinuxHIDSystem system {sysfs, dev};
};

// Names and uevents come from the kernel, but nothing overlong may wrap into another ID.
TEST_F(LinuxHIDSystemTest, TakesIDsFromTheDeviceNameAndUeventAndRefusesOverlongOnes)
{
    using IDs = std::tuple<std::optional<std::uint64_t>, std::int64_t, std::int64_t>; // registry, vendor, product
    const std::tuple<const char*, const char*, IDs> cases[] = {
        {"0003:0414:7A61.FFFFFFFFFFFFFFFF", "HID_ID=0003:00000414:00007A61\n", {UINT64_MAX, 0x0414, 0x7A61}},
        {"0003:1044:7A3E.10000000000000000", "HID_ID=0003:100001044:00007A3E\n", {std::nullopt, 0, 0}},
        {"0003:1044:7A3E.0006", "HID_ID=0003:00001044\n", {6, 0, 0}},
    };
    for (const auto& [name, uevent, ids] : cases) {
        fs::remove_all(root);
        addNode("hidraw0", name);
        write(virtualDevices / name / "uevent", uevent);
        const HIDInterface found = interfaces().at(0);
        EXPECT_EQ(IDs(found.registryID, found.vendorID, found.productID), ids) << name;
    }
}

TEST_F(LinuxHIDSystemTest, TakesLocationAndNamesFromTheUSBDeviceAbove)
{
    // busnum, devpath, manufacturer, product; then the location and names taken from them.
    using Names = std::tuple<std::int64_t, std::optional<std::string>, std::optional<std::string>>;
    const std::tuple<std::vector<std::string>, Names> cases[] = {
        {{"3\n", "2.4\n", "HOLTEK\n", "USB Dock\n\n"}, {0x03240000, "HOLTEK", "USB Dock\n"}}, // one line end cut
        {{"300", "20.2.3.4.5.6.7"}, {0xFFF23456, std::nullopt, std::nullopt}}, // clamped; 7 levels cut to 6
        {{"1\n", "2.x\n"}, {0, std::nullopt, std::nullopt}}, // a port that is not a number
    };
    for (const auto& [usb, names] : cases) {
        fs::remove_all(root);
        addNode("hidraw0", "0:0:0.1", usb);
        const std::vector<HIDInterface> found = interfaces();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(Names(found[0].locationID, found[0].manufacturer, found[0].product), names) << usb[1];
    }
}

TEST_F(LinuxHIDSystemTest, NoHidrawClassOrAGoneDeviceIsNoInterfaceButAnUnreadableClassFails)
{
    EXPECT_TRUE(interfaces().empty());
    addNode("hidraw0", "0:0:0.1");
    fs::remove_all(virtualDevices); // unplugged while its node is still listed
    EXPECT_TRUE(interfaces().empty());
    fs::remove_all(sysfs / "class" / "hidraw");
    write(sysfs / "class" / "hidraw", "not a directory");
    EXPECT_EQ(system.interfaces().status, IOStatus::general);
}

TEST_F(LinuxHIDSystemTest, OpensOnlyTheConnectionThatWasEnumeratedAndLeaksNoDescriptor)
{
    const auto openDescriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    addNode("hidraw0", "0:0:0.1");
    const HIDInterface interface = interfaces().at(0);
    const auto descriptors = openDescriptors();
    EXPECT_EQ(system.open(interface).status, 0u);
    addNode("hidraw0", "0:0:0.2"); // the node number is now another device's
    EXPECT_EQ(system.open(interface).status, IOStatus::noDevice);
    EXPECT_EQ(openDescriptors(), descriptors);
}

} // namespace
} // namespace kavrin
