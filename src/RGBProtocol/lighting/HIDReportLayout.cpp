#include "RGBProtocol/lighting/HIDReportLayout.hpp"

#include "RGBProtocol/lighting/HIDDescriptorReader.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <cstddef>
#include <optional>
#include <vector>

namespace kavrin {

namespace {

// Limits that keep a hostile descriptor from declaring absurd sizes.
constexpr std::int64_t maximumReportSize = 4096;
constexpr std::int64_t maximumReportCount = 4096;
constexpr std::size_t maximumPushDepth = 32;
constexpr std::int64_t maximumReportBits = 32768;

struct Globals {
    std::int64_t size = 0;
    std::int64_t count = 0;
    std::uint8_t id = 0;
};

class LayoutBuilder {
public:
    void global(const HIDDescriptorItem& item)
    {
        switch (item.tag) {
        case reportSizeTag:
            current_.size = item.value;
            break;
        case reportIDTag:
            if (item.value < 1 || item.value > 255) {
                throw ProtocolError::invalidDescriptor();
            }
            current_.id = static_cast<std::uint8_t>(item.value);
            declaresReportID_ = true;
            break;
        case reportCountTag:
            current_.count = item.value;
            break;
        case pushTag:
            stack_.push_back(current_);
            break;
        case popTag:
            if (stack_.empty()) {
                throw ProtocolError::invalidDescriptor();
            }
            current_ = stack_.back();
            stack_.pop_back();
            break;
        default:
            break;
        }
        if (current_.size > maximumReportSize || current_.count > maximumReportCount
            || stack_.size() > maximumPushDepth) {
            throw ProtocolError::invalidDescriptor();
        }
    }

    void feature()
    {
        // Both factors are at most 4096, so the product cannot overflow.
        const std::int64_t bits = current_.size * current_.count;
        if (bits == 0 || bits > maximumReportBits) {
            throw ProtocolError::invalidDescriptor();
        }
        std::int64_t& total = featureBits_[current_.id];
        total += bits;
        if (total > maximumReportBits) {
            throw ProtocolError::invalidDescriptor();
        }
    }

    std::map<std::uint8_t, std::int64_t> finish() const
    {
        if (!stack_.empty() || featureBits_.empty()) {
            throw ProtocolError::invalidDescriptor();
        }
        std::map<std::uint8_t, std::int64_t> lengths;
        for (const auto& [id, bits] : featureBits_) {
            lengths[id] = (bits + 7) / 8;
        }
        return lengths;
    }

    bool declaresReportID() const { return declaresReportID_; }

private:
    Globals current_;
    std::vector<Globals> stack_;
    std::map<std::uint8_t, std::int64_t> featureBits_;
    bool declaresReportID_ = false;
};

} // namespace

HIDReportLayout::HIDReportLayout(std::span<const std::uint8_t> descriptor)
{
    HIDDescriptorReader reader(descriptor);
    LayoutBuilder builder;
    while (!reader.atEnd()) {
        const std::optional<HIDDescriptorItem> item = reader.next();
        if (!item || item->isLong) {
            throw ProtocolError::invalidDescriptor();
        }
        if (item->type == HIDDescriptorItem::global) {
            builder.global(*item);
        } else if (item->type == HIDDescriptorItem::main && item->tag == featureTag) {
            builder.feature();
        }
    }
    featureLengths_ = builder.finish();
    declaresReportID_ = builder.declaresReportID();
}

bool HIDReportLayout::supportsForgeCube() const
{
    // A device that declares any report ID prefixes every report with an ID byte (HID 1.11,
    // 5.6), which the unnumbered 8-byte exchange cannot carry, even if its feature report has none.
    const std::map<std::uint8_t, std::int64_t> required {{0, 8}};
    return !declaresReportID_ && featureLengths_ == required;
}

} // namespace kavrin
