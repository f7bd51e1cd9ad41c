#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kavrin {

// The usage page in effect at each top-level application collection of a HID report descriptor,
// in descriptor order. The first is what other systems call the primary usage page. A malformed
// or truncated descriptor yields the collections found before the fault.
std::vector<std::uint32_t> topLevelUsagePages(std::span<const std::uint8_t> descriptor);

} // namespace kavrin
