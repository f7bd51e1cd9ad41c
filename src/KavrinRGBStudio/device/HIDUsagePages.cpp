#include "KavrinRGBStudio/device/HIDUsagePages.hpp"

namespace kavrin {

namespace {

// Short-item prefixes with the size bits masked off (HID 1.11, 6.2.2.4 to 6.2.2.7).
constexpr std::uint8_t usagePageItem = 0x04;
constexpr std::uint8_t pushItem = 0xA4;
constexpr std::uint8_t popItem = 0xB4;
constexpr std::uint8_t collectionItem = 0xA0;
constexpr std::uint8_t endCollectionItem = 0xC0;
constexpr std::uint8_t longItemPrefix = 0xFE;
constexpr std::uint32_t applicationCollection = 0x01;

std::uint32_t littleEndian(std::span<const std::uint8_t> bytes)
{
    std::uint32_t value = 0;
    for (std::size_t index = bytes.size(); index > 0; --index) {
        value = (value << 8) | bytes[index - 1];
    }
    return value;
}

} // namespace

std::vector<std::uint32_t> topLevelUsagePages(std::span<const std::uint8_t> descriptor)
{
    std::vector<std::uint32_t> pages;
    std::uint32_t usagePage = 0;
    std::vector<std::uint32_t> pushedPages;
    std::size_t depth = 0;
    std::size_t position = 0;
    while (position < descriptor.size()) {
        const std::uint8_t prefix = descriptor[position];
        const std::size_t remaining = descriptor.size() - position - 1;
        if (prefix == longItemPrefix) {
            // Long items carry their data size in the next byte and a tag after it; nothing we need.
            if (remaining < 2 || remaining - 2 < descriptor[position + 1]) {
                break;
            }
            position += 3 + descriptor[position + 1];
            continue;
        }
        const std::size_t length = (prefix & 0x03) == 0x03 ? 4 : prefix & 0x03;
        if (remaining < length) {
            break;
        }
        const std::uint32_t value = littleEndian(descriptor.subspan(position + 1, length));
        position += 1 + length;
        switch (prefix & 0xFC) {
        case usagePageItem:
            usagePage = value;
            break;
        case pushItem:
            pushedPages.push_back(usagePage);
            break;
        case popItem:
            if (!pushedPages.empty()) {
                usagePage = pushedPages.back();
                pushedPages.pop_back();
            }
            break;
        case collectionItem:
            if (depth == 0 && value == applicationCollection) {
                pages.push_back(usagePage);
            }
            ++depth;
            break;
        case endCollectionItem:
            depth -= depth > 0 ? 1 : 0;
            break;
        default:
            break;
        }
    }
    return pages;
}

} // namespace kavrin
