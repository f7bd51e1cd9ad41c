#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kavrin::vmtest {

// The lighting controller of one emulated dock: what it accepts, what it answers, and the
// faults a test asked for. Knows nothing of uhid; reports are the 8 payload bytes.
enum class DockModel { forgeCube, mindCube };

using Report = std::array<std::uint8_t, 8>;

// The lamp as the mode and colour answers carry it (answer scale, not command scale).
struct Lamp {
    std::uint8_t effect = 1, brightness = 10, speed = 5, red = 0xFF, green = 0x64, blue = 0x00;
};

// Counts start at 1; an empty field never triggers.
struct FaultPlan {
    std::optional<unsigned> failSetFrom; // this set-feature and every later one fail
    std::optional<unsigned> failGetFrom; // this get-feature and every later one fail
    std::optional<unsigned> vanishAfter; // after this many reports of either kind the dock disappears
    std::optional<unsigned> corruptGet; // this get-feature's answer carries a wrong command byte
    std::chrono::milliseconds getDelay {}; // every answer comes this late
    bool ignoreCommands = false; // colour and mode commands are acknowledged, not carried out
};

struct Reply {
    enum class Kind { accepted, answered, rejected, failed, vanish };
    Kind kind;
    Report answer {}; // for answered
    std::chrono::milliseconds delay {};
};

class DockEngine {
public:
    DockEngine(DockModel model, Lamp lamp, FaultPlan faults)
        : model_(model)
        , lamp_(lamp)
        , faults_(faults)
    {
    }

    Reply set(std::span<const std::uint8_t> report);
    Reply get();

private:
    std::optional<Lamp> commanded(const Report& report) const;

    DockModel model_;
    Lamp lamp_;
    FaultPlan faults_;
    std::optional<Report> pendingAnswer_;
    unsigned reports_ = 0, sets_ = 0, gets_ = 0;
};

std::string hex(std::span<const std::uint8_t> bytes);

} // namespace kavrin::vmtest
