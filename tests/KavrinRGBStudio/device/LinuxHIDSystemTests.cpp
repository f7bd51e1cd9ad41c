#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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

    // A HID device named "BBBB:VVVV:PPPP.NNNN" with `node` as its hidraw node, below a USB device
    // with the attributes busnum, devpath, manufacturer and product, as many as `usb` gives, or
    // virtual without them. Naming a node again is the kernel handing its number on.
    void addNode(const std::string& node, const std::string& name, const std::string& uevent = "",
                 const std::vector<std::string>& usb = {})
    {
        const fs::path usbDevice = sysfs / "devices" / "pci0000:00" / ("usb" + std::to_string(++devices));
        const fs::path device = (usb.empty() ? virtualDevices : usbDevice / "1-1:1.0") / name;
        fs::create_directories(device / "hidraw" / node);
        for (std::size_t index = 0; index < usb.size(); ++index) {
            write(usbDevice / std::array {"busnum", "devpath", "manufacturer", "product"}[index], usb[index]);
        }
        fs::create_directories(sysfs / "class" / "hidraw");
        fs::create_directories(dev);
        write(device / "uevent", "DRIVER=hid-generic\n" + uevent);
        write(device / "report_descriptor", "\x06\x01\xFF\xA1\x01\xC0");
        write(dev / node, "");
        fs::create_directory_symlink(device, device / "hidraw" / node / "device");
        fs::remove(sysfs / "class" / "hidraw" / node);
        fs::create_directory_symlink(device / "hidraw" / node, sysfs / "class" / "hidraw" / node);
    }

    std::vector<HIDInterface> interfacesByNode()
    {
        HIDResult<std::vector<HIDInterface>> found = system.interfaces();
        EXPECT_EQ(found.status, 0u);
        std::ranges::sort(found.value, {}, &HIDInterface::node);
        return found.value;
    }

    const fs::path root = fs::path(::testing::TempDir())
        / ("kavrin-sysfs-" + std::to_string(::getpid()) + "-"
           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path sysfs = root / "sys";
    const fs::path dev = root / "dev";
    const fs::path virtualDevices = sysfs / "devices" / "virtual" / "misc" / "uhid";
    LinuxHIDSystem system {sysfs, dev};
    int devices = 0;
};

TEST_F(LinuxHIDSystemTest, TakesIDsFromTheHIDDeviceNameAndUeventAndLeavesOutNodesWhoseDeviceIsGone)
{
    // HID device name, uevent, then the registry, vendor and product IDs taken from them.
    using IDs = std::tuple<std::optional<std::uint64_t>, std::int64_t, std::int64_t>;
    const std::tuple<const char*, const char*, IDs> cases[] = {
        {"0003:1044:7A3E.0006", "HID_ID=0003:00001044\n", {6, 0, 0}},
        {"0003:1044:7A3E.0007", "HID_ID=0003:100001044:00007A3E\n", {7, 0, 0}},
        {"0003:0414:7A61.FFFFFFFFFFFFFFFF", "HID_ID=0003:00000414:00007A61\n", {UINT64_MAX, 0x0414, 0x7A61}},
        {"0003:1044:7A3E.10000000000000000", "", {std::nullopt, 0, 0}},
    };
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        addNode("hidraw" + std::to_string(index), std::get<0>(cases[index]), std::get<1>(cases[index]));
    }
    addNode("hidraw9", "0003:1044:7A3E.0009");
    fs::remove_all(virtualDevices / "0003:1044:7A3E.0009");
    const std::vector<HIDInterface> found = interfacesByNode();
    ASSERT_EQ(found.size(), std::size(cases));
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        EXPECT_EQ(IDs(found[index].registryID, found[index].vendorID, found[index].productID),
                  std::get<2>(cases[index]))
            << std::get<0>(cases[index]);
    }
}

TEST_F(LinuxHIDSystemTest, TakesLocationAndNamesFromTheUSBDeviceAbove)
{
    addNode("hidraw0", "0:0:0.1", "", {"3\n", "2.4\n", "HOLTEK\n", "USB Dock\n\n"});
    addNode("hidraw1", "0:0:0.2", "", {"300", "20.2.3.4.5.6.7"});
    addNode("hidraw2", "0:0:0.3", "", {"1\n", "2.x\n"});
    const std::vector<HIDInterface> found = interfacesByNode();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].locationID, 0x03240000);
    EXPECT_EQ(found[0].manufacturer, "HOLTEK");
    EXPECT_EQ(found[0].product, "USB Dock\n"); // only the one line end sysfs adds is cut
    EXPECT_EQ(found[1].locationID, 0xFFF23456); // bus and ports clamped, seven levels cut to six
    EXPECT_EQ(found[1].product, std::nullopt);
    EXPECT_EQ(found[2].locationID, 0); // a port that is not a number
}

TEST_F(LinuxHIDSystemTest, NoHidrawClassIsNoInterfacesButAnUnreadableOneFails)
{
    EXPECT_TRUE(interfacesByNode().empty());
    fs::create_directories(sysfs / "class");
    write(sysfs / "class" / "hidraw", "not a directory");
    EXPECT_EQ(system.interfaces().status, IOStatus::general);
}

TEST_F(LinuxHIDSystemTest, OpensOnlyTheConnectionThatWasEnumeratedAndLeaksNoDescriptor)
{
    const auto openDescriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    addNode("hidraw0", "0:0:0.1");
    const HIDInterface interface = interfacesByNode().at(0);
    const auto descriptors = openDescriptors();
    EXPECT_EQ(system.open(interface).status, 0u);
    addNode("hidraw0", "0:0:0.2"); // the node number is now another device's
    EXPECT_EQ(system.open(interface).status, IOStatus::noDevice);
    EXPECT_EQ(openDescriptors(), descriptors);
}

} // namespace
} // namespace kavrin
