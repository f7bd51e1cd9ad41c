#pragma once

#include <cstdint>
#include <map>
#include <span>

namespace kavrin {

// The feature-report lengths a HID report descriptor declares, per report ID (0: no report ID).
class HIDReportLayout {
public:
    // Throws ProtocolError::invalidDescriptor for anything malformed or without a feature report.
    explicit HIDReportLayout(std::span<const std::uint8_t> descriptor);

    const std::map<std::uint8_t, std::int64_t>& featureLengths() const { return featureLengths_; }
    // One 8-byte feature report and no report ID anywhere in the descriptor. Named after the older
    // model, but it is the lighting layout of both models, and the transport asks it of both.
    bool supportsForgeCube() const;

    // Layouts are equal when their feature reports are; the report-ID flag only serves supportsForgeCube().
    friend bool operator==(const HIDReportLayout& a, const HIDReportLayout& b)
    {
        return a.featureLengths_ == b.featureLengths_;
    }

private:
    std::map<std::uint8_t, std::int64_t> featureLengths_;
    bool declaresReportID_ = false;
};

} // namespace kavrin
