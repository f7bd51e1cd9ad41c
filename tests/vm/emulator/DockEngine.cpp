#include "DockEngine.hpp"

#include <algorithm>

namespace kavrin::vmtest {

// Set colour and set mode, checked byte for byte: the lamp they ask for, or nothing when the
// report is not a command of the model.
static std::optional<Lamp> commanded(DockModel model, const Lamp& lamp, const Report& r)
{
    if (model == DockModel::forgeCube) {
        // Writes carry a leading 0x01 and the trailer 08 01 00 (colour) or 01 08 00 (mode).
        if (r[0] != 0x01 || r[7] != 0)
            return std::nullopt;
        if (r[1] == 0xC8 && r[5] == 0x08 && r[6] == 0x01)
            return Lamp {lamp.effect, lamp.brightness, lamp.speed, r[2], r[3], r[4]};
        // Flashing and dual flashing (4, 5) take the percentage; the rest a level 0...10.
        const bool flashing = r[2] == 4 || r[2] == 5;
        if (r[1] == 0xC9 && r[5] == 0x01 && r[6] == 0x08 && r[2] >= 1 && r[2] <= 5 && r[3] <= (flashing ? 100 : 10)
            && r[4] <= 9)
            return Lamp {r[2], r[3], r[4], lamp.red, lamp.green, lamp.blue};
        return std::nullopt;
    }
    if (!std::all_of(r.begin() + 4, r.end(), [](std::uint8_t b) { return b == 0; }))
        return std::nullopt;
    // Commanded as speed - 1 (0...5), answered as 9 - speed (8...3).
    if (r[0] == 0xC9 && ((r[1] >= 1 && r[1] <= 5) || r[1] == 8) && r[2] <= 100 && r[3] <= 5)
        return Lamp {r[1], r[2], static_cast<std::uint8_t>(8 - r[3]), lamp.red, lamp.green, lamp.blue};
    if (r[0] == 0xCD)
        return Lamp {lamp.effect, lamp.brightness, lamp.speed, r[1], r[2], r[3]};
    return std::nullopt;
}

bool DockEngine::set(std::span<const std::uint8_t> bytes)
{
    Report report;
    if (bytes.size() != report.size())
        return false;
    std::copy(bytes.begin(), bytes.end(), report.begin());

    // Requests start with 0x00 on both models; the save is 01 B6 on the older one, B6 on the newer.
    const bool forge = model == DockModel::forgeCube;
    const Report colorRequest {0x00, 0xCA, std::uint8_t(forge ? 0x08 : 0)};
    const Report save = forge ? Report {0x01, 0xB6} : Report {0xB6};
    if (report == Report {0x00, 0xCB})
        pendingAnswer = Report {0x00, 0xCB, lamp.effect, lamp.brightness, lamp.speed};
    else if (report == colorRequest)
        pendingAnswer = Report {0x00, 0xCA, lamp.red, lamp.green, lamp.blue};
    else if (report != save) { // a save is acknowledged; nothing here reads it back
        const std::optional<Lamp> commandedLamp = commanded(model, lamp, report);
        if (!commandedLamp)
            return false;
        if (!ignoreCommands)
            lamp = *commandedLamp;
    }
    return true;
}

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes)
        text += {"0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0x0F]};
    return text;
}

} // namespace kavrin::vmtest
