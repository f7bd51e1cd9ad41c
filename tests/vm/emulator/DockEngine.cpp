#include "DockEngine.hpp"

#include <algorithm>

namespace kavrin::vmtest {

// Set colour and set mode, checked byte for byte: the lamp they ask for, or nothing when the
// report is not a command of the model.
std::optional<Lamp> DockEngine::commanded(const Report& r) const
{
    Lamp lamp = lamp_;
    if (model_ == DockModel::forgeCube) {
        // Writes carry a leading 0x01 and the trailer 08 01 00 (colour) or 01 08 00 (mode).
        if (r[0] != 0x01 || r[7] != 0)
            return std::nullopt;
        if (r[1] == 0xC8 && r[5] == 0x08 && r[6] == 0x01) {
            lamp.red = r[2], lamp.green = r[3], lamp.blue = r[4];
            return lamp;
        }
        // Flashing and dual flashing (4, 5) take the percentage; the rest a level 0...10.
        const bool flashing = r[2] == 4 || r[2] == 5;
        if (r[1] == 0xC9 && r[5] == 0x01 && r[6] == 0x08 && r[2] >= 1 && r[2] <= 5 && r[3] <= (flashing ? 100 : 10)
            && r[4] <= 9) {
            lamp.effect = r[2], lamp.brightness = r[3], lamp.speed = r[4];
            return lamp;
        }
        return std::nullopt;
    }
    if (!std::all_of(r.begin() + 4, r.end(), [](std::uint8_t b) { return b == 0; }))
        return std::nullopt;
    if (r[0] == 0xC9 && ((r[1] >= 1 && r[1] <= 5) || r[1] == 8) && r[2] <= 100 && r[3] <= 5) {
        // Commanded as speed - 1 (0...5), answered as 9 - speed (8...3).
        lamp.effect = r[1], lamp.brightness = r[2], lamp.speed = static_cast<std::uint8_t>(8 - r[3]);
        return lamp;
    }
    if (r[0] == 0xCD) {
        lamp.red = r[1], lamp.green = r[2], lamp.blue = r[3];
        return lamp;
    }
    return std::nullopt;
}

Reply DockEngine::set(std::span<const std::uint8_t> bytes)
{
    if (faults_.vanishAfter && ++reports_ > *faults_.vanishAfter)
        return {Reply::Kind::vanish};
    if (faults_.failSetFrom && ++sets_ >= *faults_.failSetFrom)
        return {Reply::Kind::failed};
    Report report;
    if (bytes.size() != report.size())
        return {Reply::Kind::rejected};
    std::copy(bytes.begin(), bytes.end(), report.begin());

    // Requests start with 0x00 on both models; the save is 01 B6 on the older one, B6 on the newer.
    const bool forge = model_ == DockModel::forgeCube;
    const Report colorRequest {0x00, 0xCA, std::uint8_t(forge ? 0x08 : 0)};
    const Report save = forge ? Report {0x01, 0xB6} : Report {0xB6};
    if (report == Report {0x00, 0xCB})
        pendingAnswer_ = Report {0x00, 0xCB, lamp_.effect, lamp_.brightness, lamp_.speed};
    else if (report == colorRequest)
        pendingAnswer_ = Report {0x00, 0xCA, lamp_.red, lamp_.green, lamp_.blue};
    else if (report != save) { // a save is acknowledged; nothing here reads it back
        const std::optional<Lamp> lamp = commanded(report);
        if (!lamp)
            return {Reply::Kind::rejected};
        if (!faults_.ignoreCommands)
            lamp_ = *lamp;
    }
    return {Reply::Kind::accepted};
}

Reply DockEngine::get()
{
    if (faults_.vanishAfter && ++reports_ > *faults_.vanishAfter)
        return {Reply::Kind::vanish};
    ++gets_;
    if (faults_.failGetFrom && gets_ >= *faults_.failGetFrom)
        return {Reply::Kind::failed};
    if (!pendingAnswer_) // a get that follows no request has nothing to answer
        return {Reply::Kind::rejected};
    Reply reply {Reply::Kind::answered, *pendingAnswer_, faults_.getDelay};
    if (faults_.corruptGet && gets_ == *faults_.corruptGet)
        reply.answer[1] ^= 0xFF;
    return reply;
}

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += "0123456789ABCDEF"[byte >> 4];
        text += "0123456789ABCDEF"[byte & 0x0F];
    }
    return text;
}

} // namespace kavrin::vmtest
