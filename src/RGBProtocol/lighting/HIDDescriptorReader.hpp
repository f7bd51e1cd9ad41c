#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kavrin {

// One item of a HID report descriptor (HID 1.11, 6.2.2). Long items are reported only as such:
// nothing this system reads is ever carried in one.
struct HIDDescriptorItem {
    enum Type : std::uint8_t { main = 0, global = 1, local = 2, reserved = 3 };

    bool isLong = false;
    Type type = main;
    std::uint8_t tag = 0;
    // The data bytes as an unsigned little-endian number, without sign extension.
    std::uint32_t value = 0;
};

// The item tags this system reads (HID 1.11, 6.2.2.4 and 6.2.2.7), by item type.
enum HIDMainTag : std::uint8_t { collectionTag = 0xA, featureTag = 0xB, endCollectionTag = 0xC };
enum HIDGlobalTag : std::uint8_t {
    usagePageTag = 0x0,
    reportSizeTag = 0x7,
    reportIDTag = 0x8,
    reportCountTag = 0x9,
    pushTag = 0xA,
    popTag = 0xB,
};

// Walks a descriptor item by item, never reading past its end: descriptors come from devices.
class HIDDescriptorReader {
public:
    explicit HIDDescriptorReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    bool atEnd() const { return position_ == bytes_.size(); }
    // The next item, or nothing when it would run past the end (the reader then stays put).
    std::optional<HIDDescriptorItem> next();

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace kavrin
