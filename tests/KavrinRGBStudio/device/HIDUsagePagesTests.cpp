#include "KavrinRGBStudio/device/HIDUsagePages.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace kavrin {
namespace {

TEST(HIDUsagePages, TakesThePageInEffectAtEachTopLevelApplicationCollection)
{
    const struct {
        const char* descriptor;
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint32_t> pages;
    } cases[] = {
        {"two collections", {0x05, 0x01, 0xA1, 0x01, 0xC0, 0x06, 0x01, 0xFF, 0xA1, 0x01, 0xC0}, {0x0001, 0xFF01}},
        {"nested collections are not top-level", {0x05, 0x01, 0xA1, 0x01, 0x06, 0x01, 0xFF, 0xA1, 0x01}, {0x0001}},
        {"physical collection at the top is not an application", {0x06, 0x01, 0xFF, 0xA1, 0x00, 0xC0}, {}},
        {"Pop restores the pushed page", {0x05, 0x01, 0xA4, 0x06, 0x01, 0xFF, 0xB4, 0xA1, 0x01, 0xC0}, {0x0001}},
        {"long item skipped by its size", {0xFE, 0x02, 0x10, 0xA1, 0x01, 0x06, 0x01, 0xFF, 0xA1, 0x01}, {0xFF01}},
        {"4-byte data, little-endian", {0x07, 0x01, 0xFF, 0x00, 0x00, 0xA1, 0x01}, {0xFF01}},
        {"unmatched End Collection and Pop are ignored", {0xC0, 0xB4, 0x05, 0x0C, 0xA1, 0x01}, {0x000C}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.descriptor);
        EXPECT_EQ(topLevelUsagePages(testCase.bytes), testCase.pages);
        // A descriptor cut anywhere gives the collections that begin before the cut, and each
        // cut is its own allocation so that a read past the end is caught.
        for (std::size_t length = 0; length < testCase.bytes.size(); ++length) {
            const std::vector<std::uint8_t> cut(testCase.bytes.begin(), testCase.bytes.begin() + length);
            const std::vector<std::uint32_t> pages = topLevelUsagePages(cut);
            EXPECT_TRUE(std::ranges::mismatch(pages, testCase.pages).in1 == pages.end()) << "cut at " << length;
        }
    }
}

} // namespace
} // namespace kavrin
