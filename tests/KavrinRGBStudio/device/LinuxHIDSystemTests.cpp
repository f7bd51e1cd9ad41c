#include "FakeHIDSystem.hpp"
#include "FakeSysfsTree.hpp"

#include "KavrinRGBStudio/device/LinuxHIDConnection.hpp"
#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <functional>

namespace kavrin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string dockUevent = "DRIVER=hid-generic\nHID_ID=0003:00001044:00007A3E\nHID_NAME=HOLTEK USB\n";

std::size_t openDescriptorCount()
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

const fs::path uhidDevices = fs::path("devices") / "virtual" / "misc" / "uhid";

// The one interface of a tree holding one hidraw node for a HID device below `parent`.
HIDInterface onlyInterface(FakeSysfsTree& tree, const fs::path& parent, const std::string& hidDevice,
                           const std::string& uevent)
{
    tree.addNode("hidraw0", tree.addHIDDevice(parent, hidDevice, uevent, lightingDescriptor()));
    const HIDResult<std::vector<HIDInterface>> found = LinuxHIDSystem(tree.sysfs(), tree.dev()).interfaces();
    EXPECT_EQ(found.status, 0u);
    return found.value.size() == 1 ? found.value[0] : HIDInterface {};
}

TEST(LinuxHIDSystemEnumeration, TakesIDsFromTheHIDDeviceNameAndUevent)
{
    constexpr auto none = std::optional<std::uint64_t>();
    const struct {
        const char* situation;
        std::string hidDevice;
        std::string uevent;
        std::optional<std::uint64_t> registryID;
        std::int64_t vendorID, productID;
    } cases[] = {
        {"dock", "0003:1044:7A3E.000B", dockUevent, 0xB, 0x1044, 0x7A3E},
        {"lower-case IDs", "0003:0414:7A61.00a1", "HID_ID=0003:00000414:00007a61\n", 0xA1, 0x0414, 0x7A61},
        {"no HID_ID", "0003:1044:7A3E.0005", "DRIVER=hid-generic\n", 5, 0, 0},
        {"HID_ID without product", "0003:1044:7A3E.0006", "HID_ID=0003:00001044\n", 6, 0, 0},
        {"vendor beyond 32 bits", "0003:1044:7A3E.0007", "HID_ID=0003:100001044:00007A3E\n", 7, 0, 0},
        {"name without instance", "hiddevice", dockUevent, none, 0x1044, 0x7A3E},
        {"instance not hexadecimal", "0003:1044:7A3E.00G1", dockUevent, none, 0x1044, 0x7A3E},
        {"largest instance", "0003:1044:7A3E.FFFFFFFFFFFFFFFF", dockUevent, UINT64_MAX, 0x1044, 0x7A3E},
        {"instance beyond 64 bits", "0003:1044:7A3E.10000000000000000", dockUevent, none, 0x1044, 0x7A3E},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.situation);
        FakeSysfsTree tree;
        const HIDInterface interface = onlyInterface(tree, tree.sysfs() / uhidDevices, testCase.hidDevice,
                                                     testCase.uevent);
        EXPECT_EQ(interface.node, "hidraw0");
        EXPECT_EQ(interface.registryID, testCase.registryID);
        EXPECT_EQ(interface.vendorID, testCase.vendorID);
        EXPECT_EQ(interface.productID, testCase.productID);
        EXPECT_EQ(interface.reportDescriptor, lightingDescriptor());
        EXPECT_THAT(interface.usagePages, ElementsAre(0xFF01u));
    }
}

TEST(LinuxHIDSystemEnumeration, TakesLocationAndNamesFromTheUSBDeviceAbove)
{
    using USB = FakeSysfsTree::USBDevice;
    const struct {
        const char* situation;
        std::optional<USB> usb;
        std::int64_t locationID;
        std::optional<std::string> manufacturer, product;
    } cases[] = {
        {"dock behind a hub", USB {"3\n", "2.4\n", "HOLTEK\n", "USB Dock\n\n"}, 0x03240000, "HOLTEK", "USB Dock\n"},
        {"no names", USB {"1\n", "3\n", {}, {}}, 0x01300000, {}, {}},
        {"bus and ports beyond their fields, seven levels", USB {"300", "20.2.3.4.5.6.7", {}, {}}, 0xFFF23456, {}, {}},
        {"port not a number", USB {"1\n", "2.x\n", {}, {}}, 0, {}, {}},
        {"no USB device above", std::nullopt, 0, {}, {}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.situation);
        FakeSysfsTree tree;
        const fs::path parent
            = testCase.usb ? tree.addUSBDevice("3-2.4", *testCase.usb) / "3-2.4:1.0" : tree.sysfs() / uhidDevices;
        const HIDInterface interface = onlyInterface(tree, parent, "0003:1044:7A3E.000B", dockUevent);
        EXPECT_EQ(interface.locationID, testCase.locationID);
        EXPECT_EQ(interface.manufacturer, testCase.manufacturer);
        EXPECT_EQ(interface.product, testCase.product);
    }
}

TEST(LinuxHIDSystemEnumeration, NoHidrawClassIsNoInterfacesButAnUnreadableOneFails)
{
    FakeSysfsTree tree;
    LinuxHIDSystem system(tree.sysfs(), tree.dev());
    fs::remove(tree.sysfs() / "class" / "hidraw");
    const HIDResult<std::vector<HIDInterface>> missing = system.interfaces();
    EXPECT_EQ(missing.status, 0u);
    EXPECT_THAT(missing.value, IsEmpty());

    FakeSysfsTree::write(tree.sysfs() / "class" / "hidraw", "not a directory");
    EXPECT_EQ(system.interfaces().status, IOStatus::general);
}

TEST(LinuxHIDSystemEnumeration, LeavesOutNodesWhoseDeviceIsGone)
{
    FakeSysfsTree tree;
    const fs::path parent = tree.sysfs() / uhidDevices;
    tree.addNode("hidraw0", tree.addHIDDevice(parent, "0003:1044:7A3E.0001", dockUevent, lightingDescriptor()));
    const fs::path departed = tree.addHIDDevice(parent, "0003:1044:7A3E.0002", dockUevent, lightingDescriptor());
    tree.addNode("hidraw1", departed);
    fs::remove_all(departed);

    const HIDResult<std::vector<HIDInterface>> found = LinuxHIDSystem(tree.sysfs(), tree.dev()).interfaces();
    ASSERT_EQ(found.value.size(), 1u);
    EXPECT_EQ(found.value[0].node, "hidraw0");
}

TEST(LinuxHIDSystemOpen, OpensOnlyTheConnectionThatWasEnumerated)
{
    const struct {
        const char* situation;
        std::function<void(FakeSysfsTree&, const fs::path& parent)> change;
        std::uint32_t status;
    } cases[] = {
        {"unchanged", [](FakeSysfsTree&, const fs::path&) {}, 0},
        {"node gone", [](FakeSysfsTree& tree, const fs::path&) { fs::remove(tree.dev() / "hidraw0"); },
         IOStatus::noDevice},
        {"node number now another device's",
         [](FakeSysfsTree& tree, const fs::path& parent) {
             tree.relinkNode("hidraw0", tree.addHIDDevice(parent, "0003:1044:7A3E.0002", dockUevent, {}));
         },
         IOStatus::noDevice},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.situation);
        FakeSysfsTree tree;
        const fs::path parent = tree.sysfs() / uhidDevices;
        tree.addNode("hidraw0", tree.addHIDDevice(parent, "0003:1044:7A3E.0001", dockUevent, lightingDescriptor()));
        LinuxHIDSystem system(tree.sysfs(), tree.dev());
        const HIDInterface interface = system.interfaces().value.at(0);
        const std::size_t descriptors = openDescriptorCount();

        testCase.change(tree, parent);
        HIDResult<std::unique_ptr<HIDConnection>> opened = system.open(interface);
        EXPECT_EQ(opened.status, testCase.status);
        EXPECT_EQ(opened.value != nullptr, testCase.status == 0);
        opened.value.reset();
        EXPECT_EQ(openDescriptorCount(), descriptors);
    }
}

TEST(LinuxHIDConnection, AFailedReportCallGivesAStatusAndNoAnswer)
{
    FakeSysfsTree tree;
    const fs::path parent = tree.sysfs() / uhidDevices;
    tree.addNode("hidraw0", tree.addHIDDevice(parent, "0003:1044:7A3E.0001", dockUevent, lightingDescriptor()));
    LinuxHIDSystem system(tree.sysfs(), tree.dev());
    // A plain file stands in for the node: every report ioctl fails on it with ENOTTY.
    const std::unique_ptr<HIDConnection> connection = system.open(system.interfaces().value.at(0)).value;
    ASSERT_NE(connection, nullptr);
    const std::uint8_t report[8] = {0x00, 0xCB};
    EXPECT_EQ(connection->setFeatureReport(report), IOStatus::general);
    const HIDResult<std::vector<std::uint8_t>> answer = connection->getFeatureReport();
    EXPECT_EQ(answer.status, IOStatus::general);
    EXPECT_THAT(answer.value, IsEmpty());
}

TEST(LinuxHIDConnection, ErrnoMapsOntoTheStatusThatCarriesTheRightHint)
{
    const struct {
        int error;
        std::uint32_t status;
    } cases[] = {
        {EACCES, IOStatus::notPermitted}, {EPERM, IOStatus::notPermitted}, {EBUSY, IOStatus::exclusiveAccess},
        {ENOENT, IOStatus::noDevice},     {ENODEV, IOStatus::noDevice},    {ENXIO, IOStatus::noDevice},
        {ETIMEDOUT, IOStatus::timeout},   {EIO, IOStatus::general},        {ENOTTY, IOStatus::general},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(ioStatusFromErrno(testCase.error), testCase.status) << "errno " << testCase.error;
    }
}

} // namespace
} // namespace kavrin
