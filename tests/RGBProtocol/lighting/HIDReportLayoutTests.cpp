#include "RGBProtocol/lighting/HIDReportLayout.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lengths = std::map<std::uint8_t, std::int64_t>;

// Short items, named for readability of the vectors below.
constexpr std::uint8_t usagePage16 = 0x06;
constexpr std::uint8_t usage = 0x09;
constexpr std::uint8_t collection = 0xA1;
constexpr std::uint8_t endCollection = 0xC0;
constexpr std::uint8_t reportSize = 0x75;
constexpr std::uint8_t reportCount = 0x95;
constexpr std::uint8_t reportCount16 = 0x96;
constexpr std::uint8_t reportID = 0x85;
constexpr std::uint8_t feature = 0xB1;
constexpr std::uint8_t input = 0x81;
constexpr std::uint8_t output = 0x91;
constexpr std::uint8_t push = 0xA4;
constexpr std::uint8_t pop = 0xB4;

// The dock's lighting interface: vendor page 0xFF01, one unnumbered 8-byte feature report.
const Bytes dockDescriptor {usagePage16, 0x01,        0xFF, usage, 0x01, collection, 0x01, reportSize,
                            0x08,        reportCount, 0x08, usage, 0x01, feature,    0x02, endCollection};

TEST(HIDReportLayout, SumsFeatureBitsPerReportID)
{
    const struct {
        const char* name;
        Bytes descriptor;
        Lengths expected;
        bool supportsForgeCube;
    } cases[] = {
        {"dock", dockDescriptor, {{0, 8}}, true},
        {"two items add up",
         {reportSize, 8, reportCount, 7, feature, 2, reportSize, 1, reportCount, 8, feature, 2},
         {{0, 8}},
         true},
        {"bits round up to bytes", {reportSize, 1, reportCount, 60, feature, 2}, {{0, 8}}, true},
        {"input and output do not count",
         {reportSize, 8, reportCount, 8, input, 2, output, 2, feature, 2, input, 2},
         {{0, 8}},
         true},
        {"numbered feature", {reportID, 1, reportSize, 8, reportCount, 8, feature, 2}, {{1, 8}}, false},
        {"other length", {reportSize, 8, reportCount, 9, feature, 2}, {{0, 9}}, false},
        {"two feature reports",
         {reportSize, 8, reportCount, 8, feature, 2, reportID, 2, feature, 2},
         {{0, 8}, {2, 8}},
         false},
        // An ID declared only for input, or after the feature item, still numbers every report.
        {"ID for input only", {reportSize, 8, reportCount, 8, feature, 2, reportID, 3, input, 2}, {{0, 8}}, false},
        {"ID for output only",
         {push, reportID, 4, output, 2, pop, reportSize, 8, reportCount, 8, feature, 2},
         {{0, 8}},
         false},
        {"pop restores globals", {reportSize, 8, reportCount, 8, push, reportSize, 1, pop, feature, 2}, {{0, 8}}, true},
        {"4-byte data without sign extension", {reportSize, 8, 0x97, 8, 0, 0, 0, feature, 2}, {{0, 8}}, true},
        {"feature with 0 data bytes", {reportSize, 8, reportCount, 8, 0xB0}, {{0, 8}}, true},
        {"local and reserved items skipped",
         {0x08, 0x0C, 0xF0, reportSize, 8, reportCount, 8, feature, 2},
         {{0, 8}},
         true},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const HIDReportLayout layout(testCase.descriptor);
        EXPECT_EQ(layout.featureLengths(), testCase.expected);
        EXPECT_EQ(layout.supportsForgeCube(), testCase.supportsForgeCube);
    }
}

TEST(HIDReportLayout, RejectsMalformedDescriptors)
{
    const struct {
        const char* name;
        Bytes descriptor;
    } cases[] = {
        {"empty", {}},
        {"input only", {reportSize, 8, reportCount, 8, input, 2}},
        {"report ID 0", {reportID, 0, reportSize, 8, reportCount, 8, feature, 2}},
        {"report ID 256 in two bytes", {0x86, 0x00, 0x01, reportSize, 8, reportCount, 8, feature, 2}},
        {"push without pop", {push, reportSize, 8, reportCount, 8, feature, 2}},
        {"pop with empty stack", {pop, reportSize, 8, reportCount, 8, feature, 2}},
        {"count 4097 without feature", {reportSize, 8, reportCount16, 0x01, 0x10, feature, 2}},
        {"size 4097", {0x76, 0x01, 0x10, reportCount, 1}},
        {"data cut off", {reportSize, 8, reportCount, 8, feature, 2, reportCount16, 0x08}},
        {"4-byte data cut off", {0x97, 8, 0, 0}},
        {"long item", {0xFE, 0x00, 0x00, reportSize, 8, reportCount, 8, feature, 2}},
        {"feature of zero bits", {reportSize, 0, reportCount, 8, feature, 2}},
        {"feature before any size", {feature, 2}},
        {"one report over 32768 bits", {0x76, 0x00, 0x10, reportCount16, 0x00, 0x10, feature, 2}},
        {"sum over 32768 bits", {0x76, 0x00, 0x08, reportCount16, 0x00, 0x08, feature, 2, feature, 2, feature, 2}},
        {"33 nested pushes", Bytes(33, push)},
        {"huge 4-byte count", {reportSize, 8, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, feature, 2}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        try {
            HIDReportLayout layout(testCase.descriptor);
            ADD_FAILURE() << "accepted";
        } catch (const ProtocolError& error) {
            EXPECT_EQ(error.kind(), ProtocolError::Kind::invalidDescriptor);
        }
    }
}

TEST(HIDReportLayout, ThirtyTwoNestedPushesAreAllowed)
{
    Bytes descriptor(32, push);
    for (const std::uint8_t byte :
         {reportSize, std::uint8_t {8}, reportCount, std::uint8_t {8}, feature, std::uint8_t {2}}) {
        descriptor.push_back(byte);
    }
    descriptor.resize(descriptor.size() + 32, pop);
    EXPECT_TRUE(HIDReportLayout(descriptor).supportsForgeCube());
}

TEST(HIDReportLayout, EveryTruncationOfTheDockDescriptorIsRejectedOrParsedWithoutOverrun)
{
    // Each prefix is copied to its own allocation so a sanitizer sees any read past its end.
    // Only the final End Collection may go: collections do not count towards the layout.
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
