#include "ExpectProtocolError.hpp"

#include "RGBProtocol/lighting/HIDReportLayout.hpp"

#include <optional>
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

TEST(HIDReportLayout, SumsFeatureBitsPerReportID)
{
    const struct {
        const char* name;
        Bytes descriptor;
        std::map<std::uint8_t, std::int64_t> expected;
        bool supportsForgeCube;
    } cases[] = {
        {"dock", dockDescriptor, {{0, 8}}, true},
        {"items add up",
         {reportSize, 8, reportCount, 7, feature, 2, reportSize, 1, reportCount, 8, feature, 2},
         {{0, 8}},
         true},
        {"bits round up", {reportSize, 1, reportCount, 60, feature, 2, input, 2, output, 2}, {{0, 8}}, true},
        {"pop restores globals", {reportSize, 8, reportCount, 8, push, reportSize, 1, pop, feature, 2}, {{0, 8}}, true},
        {"4-byte data, no sign extension", {reportSize, 8, 0x97, 8, 0, 0, 0, 0xB0, 0x08, 0x0C}, {{0, 8}}, true},
        {"numbered feature", {reportID, 1, reportSize, 8, reportCount, 8, feature, 2}, {{1, 8}}, false},
        {"other length", {reportSize, 8, reportCount, 9, feature, 2}, {{0, 9}}, false},
        {"two reports", {reportSize, 8, reportCount, 8, feature, 2, reportID, 2, feature, 2}, {{0, 8}, {2, 8}}, false},
        // Any declared ID numbers every report of the device, so the unnumbered exchange would be wrong.
        {"ID for input after feature",
         {reportSize, 8, reportCount, 8, feature, 2, reportID, 3, input, 2},
         {{0, 8}},
         false},
        {"ID for output in a push",
         {push, reportID, 4, output, 2, pop, reportSize, 8, reportCount, 8, feature, 2},
         {{0, 8}},
         false},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const HIDReportLayout layout(testCase.descriptor);
        EXPECT_EQ(layout.featureLengths(), testCase.expected);
        EXPECT_EQ(layout.supportsForgeCube(), testCase.supportsForgeCube);
        // Equality is by feature lengths alone, whatever else the descriptor numbered.
        const HIDReportLayout dock(dockDescriptor);
        EXPECT_EQ(layout == dock, layout.featureLengths() == dock.featureLengths());
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
        expectProtocolError(ProtocolError::Kind::invalidDescriptor, [&] { HIDReportLayout {testCase.descriptor}; });
    }
}

TEST(HIDReportLayout, NoTruncationOfTheDockDescriptorPasses)
{
    // Each prefix has its own allocation, so a sanitizer sees any read past its end. Only the final
    // End Collection may go: collections do not count towards the layout.
    for (std::size_t length = 0; length + 1 < dockDescriptor.size(); ++length) {
        const Bytes prefix(dockDescriptor.begin(), dockDescriptor.begin() + static_cast<std::ptrdiff_t>(length));
        std::optional<bool> supported;
        try {
            supported = HIDReportLayout(prefix).supportsForgeCube();
        } catch (const ProtocolError&) {
        }
        EXPECT_NE(supported, std::optional<bool>(true)) << length;
    }
}

} // namespace
} // namespace kavrin
