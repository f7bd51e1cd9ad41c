// Report descriptors as a device hands them to the kernel: the item walker, the feature-report
// layout and the top-level usage pages.
#include "FuzzProperty.hpp"

#include "RGBProtocol/lighting/HIDDescriptorReader.hpp"
#include "RGBProtocol/lighting/HIDReportLayout.hpp"
#include "RGBProtocol/lighting/HIDUsagePages.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>

namespace kavrin::fuzz {
namespace {

void walk(std::span<const std::uint8_t> descriptor)
{
    HIDDescriptorReader reader(descriptor);
    std::size_t items = 0;
    while (reader.next()) {
        ++items;
    }
    // Every item takes at least its prefix byte, and a reader that stopped short stays stopped.
    require(items <= descriptor.size(), "more items than bytes");
    require(reader.atEnd() || !reader.next(), "a stopped reader moved on");
}

void layout(std::span<const std::uint8_t> descriptor)
{
    try {
        const HIDReportLayout layout(descriptor);
        require(!layout.featureLengths().empty(), "a layout without feature reports");
        for (const auto& [id, length] : layout.featureLengths()) {
            require(length >= 1 && length <= 4096, "a feature length outside 1...4096 bytes");
        }
        const std::map<std::uint8_t, std::int64_t> lighting {{0, 8}};
        require(!layout.supportsForgeCube() || layout.featureLengths() == lighting,
                "the lighting layout accepted with other feature reports");
    } catch (const ProtocolError& error) {
        require(error.kind() == ProtocolError::Kind::invalidDescriptor, "a descriptor refused for another reason");
    }
}

void usagePages(std::span<const std::uint8_t> descriptor)
{
    // The walk stops at the first fault, so a cut descriptor keeps the collections before the cut.
    const std::vector<std::uint32_t> whole = topLevelUsagePages(descriptor);
    const std::vector<std::uint32_t> half = topLevelUsagePages(descriptor.first(descriptor.size() / 2));
    require(half.size() <= whole.size() && std::equal(half.begin(), half.end(), whole.begin()),
            "a cut descriptor gave other collections than its whole");
}

} // namespace
} // namespace kavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto descriptor = kavrin::fuzz::bytes(data, size);
    kavrin::fuzz::walk(descriptor);
    kavrin::fuzz::layout(descriptor);
    kavrin::fuzz::usagePages(descriptor);
    return 0;
}
