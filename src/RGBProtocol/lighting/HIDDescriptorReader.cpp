#include "RGBProtocol/lighting/HIDDescriptorReader.hpp"

namespace kavrin {

namespace {

constexpr std::uint8_t longItemPrefix = 0xFE;

} // namespace

std::optional<HIDDescriptorItem> HIDDescriptorReader::next()
{
    if (atEnd()) {
        return std::nullopt;
    }
    const std::uint8_t prefix = bytes_[position_];
    const std::size_t remaining = bytes_.size() - position_ - 1;
    if (prefix == longItemPrefix) {
        // A long item gives its data size in the next byte, then a tag byte, then the data.
        if (remaining < 2 || remaining - 2 < bytes_[position_ + 1]) {
            return std::nullopt;
        }
        position_ += 3 + bytes_[position_ + 1];
        return HIDDescriptorItem {.isLong = true};
    }
    static constexpr std::size_t dataLengths[] = {0, 1, 2, 4};
    const std::size_t length = dataLengths[prefix & 0x3];
    if (length > remaining) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (std::size_t index = length; index > 0; --index) {
        value = (value << 8) | bytes_[position_ + index];
    }
    position_ += 1 + length;
    return HIDDescriptorItem {
        .type = static_cast<HIDDescriptorItem::Type>((prefix >> 2) & 0x3),
        .tag = static_cast<std::uint8_t>(prefix >> 4),
        .value = value,
    };
}

} // namespace kavrin
