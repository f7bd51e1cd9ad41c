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
    std::uint8_t effect = 1;
    std::uint8_t brightness = 10;
    std::uint8_t speed = 5;
    std::uint8_t red = 0xFF;
    std::uint8_t green = 0x64;
    std::uint8_t blue = 0x00;

    friend bool operator==(const Lamp&, const Lamp&) = default;
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
    DockEngine(DockModel model, Lamp lamp, FaultPlan faults);

    Reply set(std::span<const std::uint8_t> report);
    Reply get();

    const Lamp& lamp() const { return lamp_; }

private:
    bool vanishes();
    std::optional<Lamp> commanded(const Report& report) const;

    DockModel model_;
    Lamp lamp_;
    FaultPlan faults_;
    std::optional<Report> pendingAnswer_;
    unsigned reports_ = 0;
    unsigned sets_ = 0;
    unsigned gets_ = 0;
};

std::string hex(std::span<const std::uint8_t> bytes);

} // namespace kavrin::vmtest
