#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kavrin {

// A channel to one dock's lighting interface. Errors are thrown and passed through unchanged.
class FeatureReportExchange {
public:
    virtual ~FeatureReportExchange() = default;

    virtual void send(std::span<const std::uint8_t> bytes) = 0;
    // The dock's answer to the last request, of whatever length the dock gave.
    virtual std::vector<std::uint8_t> receive() = 0;
};

} // namespace kavrin
