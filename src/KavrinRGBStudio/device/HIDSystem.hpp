#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavrin {

// One HID interface as the operating system describes it, before any of our rules are applied.
struct HIDInterface {
    // What the system needs to open the interface again (on Linux the hidraw node's name).
    std::string node;
    // A number that names this one connection of the interface; missing when it cannot be had.
    std::optional<std::uint64_t> registryID;
    std::int64_t vendorID = 0;
    std::int64_t productID = 0;
    // Usage page of each top-level application collection, in descriptor order.
    std::vector<std::uint32_t> usagePages;
    // Empty when the system gives none.
    std::vector<std::uint8_t> reportDescriptor;
    std::int64_t locationID = 0;
    std::optional<std::string> manufacturer;
    std::optional<std::string> product;

    std::optional<std::uint32_t> primaryUsagePage() const
    {
        return usagePages.empty() ? std::nullopt : std::optional(usagePages.front());
    }
};

// A system call's outcome: status 0 with the value, or one of the IOStatus values.
template <typename Value> struct HIDResult {
    std::uint32_t status = 0;
    Value value {};
};

// One open interface; closed when destroyed. Feature reports here are unnumbered: the
// report-ID byte some systems need is added and stripped below this interface.
class HIDConnection {
public:
    virtual ~HIDConnection() = default;

    // 0 or an IOStatus value.
    virtual std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) = 0;
    // The answer's payload, of whatever length the device gave.
    virtual HIDResult<std::vector<std::uint8_t>> getFeatureReport() = 0;
};

// The operating system's HID access: enumeration with properties, and opening one interface.
class HIDSystem {
public:
    virtual ~HIDSystem() = default;

    // Every HID interface the system knows of, in no particular order.
    virtual HIDResult<std::vector<HIDInterface>> interfaces() = 0;
    // Opens the interface shared, not exclusively. Fails with IOStatus::noDevice when the
    // interface is no longer the one that was enumerated.
    virtual HIDResult<std::unique_ptr<HIDConnection>> open(const HIDInterface& interface) = 0;
};

} // namespace kavrin
