#include "RGBProtocol/lighting/HIDUsagePages.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kavrin {
namespace {

TEST(HIDUsagePages, TakesThePageInEffectAtEachTopLevelApplicationCollection)
{
    using Bytes = std::vector<std::uint8_t>;
    const std::tuple<const char*, Bytes, std::vector<std::uint32_t>> cases[] = {
        {"two collections", {0x05, 0x01, 0xA1, 0x01, 0xC0, 0x06, 0x01, 0xFF, 0xA1, 0x01, 0xC0}, {0x0001, 0xFF01}},
        {"nested collections are not top-level", {0x05, 0x01, 0xA1, 0x01, 0x06, 0x01, 0xFF, 0xA1, 0x01}, {0x0001}},
        {"physical collection at the top is not an application", {0x06, 0x01, 0xFF, 0xA1, 0x00, 0xC0}, {}},
        {"Pop restores the pushed page", {0x05, 0x01, 0xA4, 0x06, 0x01, 0xFF, 0xB4, 0xA1, 0x01, 0xC0}, {0x0001}},
        {"unmatched End Collection and Pop are ignored", {0xC0, 0xB4, 0x05, 0x0C, 0xA1, 0x01}, {0x000C}},
        {"long item skipped by its size", {0xFE, 0x02, 0x10, 0xA1, 0x01, 0x06, 0x01, 0xFF, 0xA1, 0x01}, {0xFF01}},
    };
    for (const auto& [name, bytes, pages] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(topLevelUsagePages(bytes), pages);
        // A descriptor cut anywhere gives the collections that begin before the cut, and each
        // cut is its own allocation so that a read past the end is caught.
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::vector<std::uint32_t> found = topLevelUsagePages(Bytes(bytes.begin(), bytes.begin() + length));
            EXPECT_TRUE(std::ranges::mismatch(found, pages).in1 == found.end()) << "cut at " << length;
        }
    }
}

} // namespace
} // namespace kavrin
