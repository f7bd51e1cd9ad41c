#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/HIDReportLayout.hpp"

#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Short items, named so the vectors below read as descriptors.
constexpr std::uint8_t reportSize = 0x75, reportCount = 0x95, reportCount16 = 0x96, reportID = 0x85;
constexpr std::uint8_t feature = 0xB1, input = 0x81, output = 0x91, push = 0xA4, pop = 0xB4;

// The dock's lighting interface: vendor page 0xFF01, one unnumbered 8-byte feature report.
const Bytes dockDescriptor {0x06, 0x01,        0xFF, 0x09, 0x01, 0xA1,    0x01, reportSize,
                            0x08, reportCount, 0x08, 0x09, 0x01, feature, 0x02, 0xC0};

TEST(HIDReportLayout, SupportsTheDockOnlyForOneUnnumbered8ByteFeatureReport)
{
    const struct {
        const char* name;
        Bytes descriptor;
        bool supported;
    } cases[] = {
        {"dock", dockDescriptor, true},
        {"items add up", {reportSize, 8, reportCount, 7, feature, 2, reportSize, 1, reportCount, 8, feature, 2}, true},
        {"bits round up", {reportSize, 1, reportCount, 60, feature, 2, input, 2, output, 2}, true},
        {"pop restores globals", {reportSize, 8, reportCount, 8, push, reportSize, 1, pop, feature, 2}, true},
        {"4-byte data, no sign extension", {reportSize, 8, 0x97, 8, 0, 0, 0, 0xB0, 0x08, 0x0C}, true},
        {"numbered feature", {reportID, 1, reportSize, 8, reportCount, 8, feature, 2}, false},
        {"other length", {reportSize, 8, reportCount, 9, feature, 2}, false},
        // Any declared ID numbers every report of the device, so the unnumbered exchange would be wrong.
        {"ID for input after feature", {reportSize, 8, reportCount, 8, feature, 2, reportID, 3, input, 2}, false},
        {"ID for output in a push",
         {push, reportID, 4, output, 2, pop, reportSize, 8, reportCount, 8, feature, 2},
         false},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(HIDReportLayout(testCase.descriptor).supportsForgeCube(), testCase.supported) << testCase.name;
    }
}

TEST(HIDReportLayout, RejectsMalformedAndHostileDescriptors)
{
    const struct {
        const char* name;
        Bytes descriptor;
    } cases[] = {
        {"empty", {}},
        {"input only", {reportSize, 8, reportCount, 8, input, 2}},
        {"report ID 0", {reportID, 0, reportSize, 8, reportCount, 8, feature, 2}},
        {"report ID 256", {0x86, 0x00, 0x01, reportSize, 8, reportCount, 8, feature, 2}},
        {"push without pop", {push, reportSize, 8, reportCount, 8, feature, 2}},
        {"pop on empty stack", {pop, reportSize, 8, reportCount, 8, feature, 2}},
        {"count 4097, no feature", {reportSize, 8, reportCount16, 0x01, 0x10}},
        {"data cut off", {reportSize, 8, reportCount, 8, feature, 2, reportCount16, 0x08}},
        {"long item", {0xFE, 0x00, 0x00, reportSize, 8, reportCount, 8, feature, 2}},
        {"zero-bit feature", {reportCount, 8, feature, 2}},
        {"sum over 32768 bits", {0x76, 0x00, 0x08, reportCount16, 0x00, 0x08, feature, 2, feature, 2, feature, 2}},
        {"33 nested pushes", Bytes(33, push)},
        {"huge 4-byte count", {reportSize, 8, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, feature, 2}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_THAT([&] { HIDReportLayout {testCase.descriptor}; },
                    throwsProtocolError(ProtocolError::Kind::invalidDescriptor));
    }
    // Each prefix has its own allocation, so a sanitizer sees any read past its end. Every prefix
    // short of the final End Collection lacks a whole feature item.
    for (std::size_t length = 0; length + 1 < dockDescriptor.size(); ++length) {
        const Bytes prefix(dockDescriptor.begin(), dockDescriptor.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THAT([&] { HIDReportLayout {prefix}; }, throwsProtocolError(ProtocolError::Kind::invalidDescriptor))
            << length;
    }
}

} // namespace
} // namespace kavrin
