#include "DockEngine.hpp"

#include <algorithm>

namespace kavrin::vmtest {

namespace {

// The fixed reports of each model: requests start with 0x00 on both, while writes and the
// save command carry a leading 0x01 only on the older model.
struct FixedReports {
    Report modeRequest;
    Report colorRequest;
    Report save;
};

constexpr FixedReports forgeFixed {
    {0x00, 0xCB, 0, 0, 0, 0, 0, 0},
    {0x00, 0xCA, 0x08, 0, 0, 0, 0, 0},
    {0x01, 0xB6, 0, 0, 0, 0, 0, 0},
};
constexpr FixedReports mindFixed {
    {0x00, 0xCB, 0, 0, 0, 0, 0, 0},
    {0x00, 0xCA, 0, 0, 0, 0, 0, 0},
    {0xB6, 0, 0, 0, 0, 0, 0, 0},
};

bool tailIs(const Report& report, std::size_t from, std::initializer_list<std::uint8_t> bytes)
{
    return std::equal(bytes.begin(), bytes.end(), report.begin() + static_cast<std::ptrdiff_t>(from));
}

bool forgeEffect(std::uint8_t effect)
{
    return effect >= 1 && effect <= 5;
}
bool mindEffect(std::uint8_t effect)
{
    return forgeEffect(effect) || effect == 8;
}
// Flashing and dual flashing take the percentage on the older model; the rest a level 0...10.
std::uint8_t forgeBrightnessLimit(std::uint8_t effect)
{
    return effect == 4 || effect == 5 ? 100 : 10;
}

} // namespace

DockEngine::DockEngine(DockModel model, Lamp lamp, FaultPlan faults)
    : model_(model)
    , lamp_(lamp)
    , faults_(faults)
{
}

bool DockEngine::vanishes()
{
    ++reports_;
    return faults_.vanishAfter && reports_ > *faults_.vanishAfter;
}

// Set colour and set mode, checked byte for byte: the lamp they ask for, or nothing when the
// report is not a command of the model.
std::optional<Lamp> DockEngine::commanded(const Report& r) const
{
    Lamp lamp = lamp_;
    if (model_ == DockModel::forgeCube) {
        if (r[0] == 0x01 && r[1] == 0xC8 && tailIs(r, 5, {0x08, 0x01, 0x00})) {
            lamp.red = r[2], lamp.green = r[3], lamp.blue = r[4];
            return lamp;
        }
        if (r[0] == 0x01 && r[1] == 0xC9 && tailIs(r, 5, {0x01, 0x08, 0x00}) && forgeEffect(r[2])
            && r[3] <= forgeBrightnessLimit(r[2]) && r[4] <= 9) {
            lamp.effect = r[2], lamp.brightness = r[3], lamp.speed = r[4];
            return lamp;
        }
        return std::nullopt;
    }
    if (r[0] == 0xC9 && tailIs(r, 4, {0, 0, 0, 0}) && mindEffect(r[1]) && r[2] <= 100 && r[3] <= 5) {
        // Commanded as speed - 1 (0...5), answered as 9 - speed (8...3).
        lamp.effect = r[1], lamp.brightness = r[2], lamp.speed = static_cast<std::uint8_t>(8 - r[3]);
        return lamp;
    }
    if (r[0] == 0xCD && tailIs(r, 4, {0, 0, 0, 0})) {
        lamp.red = r[1], lamp.green = r[2], lamp.blue = r[3];
        return lamp;
    }
    return std::nullopt;
}

Reply DockEngine::set(std::span<const std::uint8_t> bytes)
{
    if (vanishes())
        return {Reply::Kind::vanish};
    ++sets_;
    if (faults_.failSetFrom && sets_ >= *faults_.failSetFrom)
        return {Reply::Kind::failed};
    if (bytes.size() != Report {}.size())
        return {Reply::Kind::rejected};
    Report report;
    std::copy(bytes.begin(), bytes.end(), report.begin());

    const FixedReports& fixed = model_ == DockModel::forgeCube ? forgeFixed : mindFixed;
    if (report == fixed.modeRequest)
        pendingAnswer_ = Report {0x00, 0xCB, lamp_.effect, lamp_.brightness, lamp_.speed, 0, 0, 0};
    else if (report == fixed.colorRequest)
        pendingAnswer_ = Report {0x00, 0xCA, lamp_.red, lamp_.green, lamp_.blue, 0, 0, 0};
    else if (report != fixed.save) {
        // A save is acknowledged and logged like any report; nothing here reads it back.
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
    if (vanishes())
        return {Reply::Kind::vanish};
    ++gets_;
    if (faults_.failGetFrom && gets_ >= *faults_.failGetFrom)
        return {Reply::Kind::failed};
    // A get that follows no request has nothing to answer.
    if (!pendingAnswer_)
        return {Reply::Kind::rejected};
    Reply reply {Reply::Kind::answered, *pendingAnswer_, faults_.getDelay};
    if (faults_.corruptGet && gets_ == *faults_.corruptGet)
        reply.answer[1] ^= 0xFF;
    return reply;
}

std::string hex(std::span<const std::uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

} // namespace kavrin::vmtest
