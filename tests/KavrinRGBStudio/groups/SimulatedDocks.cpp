#include "SimulatedDocks.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"

#include <algorithm>
#include <iterator>

namespace kavrin {

SimulatedDocks::SimulatedDocks(const std::vector<std::pair<RGBDevice, LightingSettings>>& docks)
{
    for (const auto& [device, settings] : docks) {
        listed.push_back(device);
        state.emplace(device.id, settings);
    }
}

std::vector<std::pair<RGBDevice, LightingSettings>> SimulatedDocks::threeDocks()
{
    const auto& devices = RGBDevice::demoDevices();
    return {
        {devices[0], LightingSettings {true, LightingEffect::breathing, 100, 5, LightColor {0xFF, 0x64, 0x00}}},
        {devices[1], LightingSettings {true, LightingEffect::wave, 70, 3, LightColor {0x33, 0x66, 0x99}}},
        {devices[2], LightingSettings {false, LightingEffect::solid, 60, 2, LightColor {0x22, 0xC5, 0x5E}}},
    };
}

void SimulatedDocks::step(DockCall call, bool writesBeforeFailing)
{
    const std::size_t index = calls.size();
    calls.push_back(call);
    if (!failingSteps_.contains(index)) {
        return;
    }
    if (writesBeforeFailing && failAfterWriting_ && state.contains(call.id)) {
        state[call.id] = *call.settings;
    }
    const TransportError error = TransportError::io("第 " + std::to_string(index) + " 步", IOStatus::general);
    failures_.emplace(index, error.errorDescription());
    throw error;
}

std::vector<RGBDevice> SimulatedDocks::list()
{
    step(DockCall {DockCall::Kind::list, 0, std::nullopt, false, {}});
    return listed;
}

LightingSettings SimulatedDocks::read(const RGBDevice& device)
{
    step(DockCall {DockCall::Kind::read, device.id, std::nullopt, false, {}});
    const auto entry = state.find(device.id);
    if (entry == state.end()) {
        throw TransportError::disconnected();
    }
    return entry->second;
}

LightingSettings SimulatedDocks::apply(const LightingSettings& settings, const RGBDevice& device, bool persist)
{
    step(DockCall {DockCall::Kind::apply, device.id, settings, persist, {}}, true);
    const auto entry = state.find(device.id);
    if (entry == state.end()) {
        throw TransportError::disconnected();
    }
    entry->second = settings;
    return settings;
}

void SimulatedDocks::writeColors(const DockColors& colors)
{
    step(DockCall {DockCall::Kind::writeColors, 0, std::nullopt, false, colors});
    for (const auto& [device, color] : colors) {
        if (!state.contains(device.id)) {
            throw TransportError::disconnected();
        }
    }
    for (const auto& [device, color] : colors) {
        state[device.id].color = color;
    }
}

std::vector<DockCall> SimulatedDocks::callsOf(DockCall::Kind kind) const
{
    std::vector<DockCall> matching;
    std::ranges::copy_if(calls, std::back_inserter(matching),
                         [kind](const DockCall& call) { return call.kind == kind; });
    return matching;
}

std::vector<std::uint64_t> SimulatedDocks::appliedIDs() const
{
    std::vector<std::uint64_t> ids;
    for (const DockCall& call : callsOf(DockCall::Kind::apply)) {
        ids.push_back(call.id);
    }
    return ids;
}

std::size_t SimulatedDocks::saves() const
{
    return std::ranges::count_if(calls, [](const DockCall& call) { return call.persist; });
}

std::optional<std::string> SimulatedDocks::failureAt(std::size_t step) const
{
    const auto entry = failures_.find(step);
    return entry == failures_.end() ? std::nullopt : std::optional(entry->second);
}

} // namespace kavrin
