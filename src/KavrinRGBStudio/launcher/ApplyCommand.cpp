#include "KavrinRGBStudio/launcher/ApplyCommand.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/groups/DockGroupOperations.hpp"
#include "KavrinRGBStudio/launcher/DockChoice.hpp"
#include "KavrinRGBStudio/launcher/SettingsFile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"
#include "RGBProtocol/workspace/NativeSynchronization.hpp"

#include <exception>

namespace kavrin {

namespace {

// The window's sentence after a failed apply.
constexpr const char* partlyAppliedSentence = " 部分指令可能已生效，请先读取这台设备。";

// The transport refuses with these before it has opened the dock's interface, so before any
// command could reach it. Anything else may have come after one.
bool sentNothing(const std::exception& error)
{
    const auto* transport = dynamic_cast<const TransportError*>(&error);
    if (!transport) {
        return false;
    }
    if (transport->kind() != TransportError::Kind::io) {
        return transport->kind() != TransportError::Kind::readbackMismatch;
    }
    return transport->operation() == IOOperation::enumerate || transport->operation() == IOOperation::open;
}

CommandOutput applyToChosenDock(const CommandLine& commandLine, const LightingSettings& settings, DockLightingIO& io)
{
    const std::vector<RGBDevice> devices = io.list();
    const RGBDevice& device = chosenDevice(devices, commandLine.deviceID);
    validate(profileOf(device), settings);
    try {
        return CommandOutput {io.apply(settings, device, commandLine.persist)};
    } catch (const std::exception& error) {
        if (sentNothing(error)) {
            throw;
        }
        throw PartlyAppliedError(error.what() + std::string(partlyAppliedSentence));
    }
}

CommandOutput synchronizeAll(const LightingSettings& settings, DockLightingIO& io)
{
    const std::vector<RGBDevice> devices = io.list();
    if (devices.empty()) {
        throw TransportError::noDevice();
    }
    std::vector<SyncMember> members;
    for (const RGBDevice& device : devices) {
        members.push_back(SyncMember {device.id, profileOf(device)});
    }
    // The settings count as composed on the first listed dock: their speed is relative to its model.
    const DockGroupOperations::Plan plan
        = NativeSynchronization::plan(settings, members.front().profile, settings.effect, members);
    CommandOutput output {nlohmann::json::array()};
    for (const DockOutcome& outcome : DockGroupOperations::synchronize(io, devices, plan)) {
        output.json.push_back({{"id", outcome.device.id}, {"success", !outcome.isError}, {"message", outcome.message}});
        output.status = outcome.isError ? 1 : output.status;
    }
    return output;
}

} // namespace

CommandOutput runApply(const CommandLine& commandLine, DockLightingIO& io, int standardInput)
{
    const LightingSettings settings = readSettingsFile(commandLine.settingsPath, standardInput);
    return commandLine.allDocks ? synchronizeAll(settings, io) : applyToChosenDock(commandLine, settings, io);
}

} // namespace kavrin
