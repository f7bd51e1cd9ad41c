#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kavrin::vmtest {

// The lighting controller of one emulated dock: what it accepts and what it answers. Knows
// nothing of uhid or of the faults a test asks for; reports are the 8 payload bytes.
enum class DockModel { forgeCube, mindCube };

using Report = std::array<std::uint8_t, 8>;

// The lamp as the mode and colour answers carry it (answer scale, not command scale).
struct Lamp {
    std::uint8_t effect = 1, brightness = 10, speed = 5, red = 0xFF, green = 0x64, blue = 0x00;
};

struct DockEngine {
    DockModel model;
    Lamp lamp {};
    bool ignoreCommands = false; // colour and mode commands are acknowledged, not carried out
    std::optional<Report> pendingAnswer {}; // set by the last read request

    // Whether the dock takes this set-feature report.
    bool set(std::span<const std::uint8_t> report);
    // The answer to a get-feature; a get that follows no request has nothing to answer.
    std::optional<Report> get() const { return pendingAnswer; }
};

std::string hex(std::span<const std::uint8_t> bytes);

} // namespace kavrin::vmtest
