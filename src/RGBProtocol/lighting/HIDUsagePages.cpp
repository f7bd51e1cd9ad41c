#include "RGBProtocol/lighting/HIDUsagePages.hpp"

#include "RGBProtocol/lighting/HIDDescriptorReader.hpp"

#include <optional>
#include <utility>

namespace kavrin {

namespace {

constexpr std::uint32_t applicationCollection = 0x01;

class UsagePageWalker {
public:
    void main(const HIDDescriptorItem& item)
    {
        if (item.tag == collectionTag) {
            if (depth_ == 0 && item.value == applicationCollection) {
                pages_.push_back(usagePage_);
            }
            ++depth_;
        } else if (item.tag == endCollectionTag && depth_ > 0) {
            --depth_;
        }
    }

    void global(const HIDDescriptorItem& item)
    {
        if (item.tag == usagePageTag) {
            usagePage_ = item.value;
        } else if (item.tag == pushTag) {
            pushedPages_.push_back(usagePage_);
        } else if (item.tag == popTag && !pushedPages_.empty()) {
            usagePage_ = pushedPages_.back();
            pushedPages_.pop_back();
        }
    }

    std::vector<std::uint32_t> pages() && { return std::move(pages_); }

private:
    std::vector<std::uint32_t> pages_;
    std::uint32_t usagePage_ = 0;
    std::vector<std::uint32_t> pushedPages_;
    std::size_t depth_ = 0;
};

} // namespace

std::vector<std::uint32_t> topLevelUsagePages(std::span<const std::uint8_t> descriptor)
{
    HIDDescriptorReader reader(descriptor);
    UsagePageWalker walker;
    // Lenient where the layout check is strict: the usage pages only decide which interfaces are
    // looked at, and a faulty descriptor is refused by that check afterwards anyway.
    while (const std::optional<HIDDescriptorItem> item = reader.next()) {
        if (item->isLong) {
            continue;
        }
        if (item->type == HIDDescriptorItem::main) {
            walker.main(*item);
        } else if (item->type == HIDDescriptorItem::global) {
            walker.global(*item);
        }
    }
    return std::move(walker).pages();
}

} // namespace kavrin
