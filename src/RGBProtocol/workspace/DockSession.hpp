#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"
#include "RGBProtocol/workspace/OperationToken.hpp"

#include <optional>
#include <string>

namespace kavrin {

class DeviceWorkspace;

// What a dock shows before anything was read from it, and what the editor shows with no dock.
inline constexpr LightingSettings defaultEditingSettings {true, LightingEffect::solid, 100, 5,
                                                          LightColor {255, 100, 0}};

// The editing state of one connected dock.
struct DockSession {
    LightingSettings settings = defaultEditingSettings;
    // As typed, kept apart from settings.color so half-typed text survives.
    std::string hexText = defaultEditingSettings.color.hex();
    // Only what the dock itself reported, never what was sent.
    std::optional<LightingSettings> lastRead;
    std::string status = "可以读取当前设置，或编辑后应用到这台扩展坞。";
    bool isError = false;

    bool busy() const { return operation.has_value(); }
    // Whether the editor holds anything the dock has not confirmed, including unparsable colour text.
    bool edited() const;

    friend bool operator==(const DockSession&, const DockSession&) = default;

private:
    friend class DeviceWorkspace;

    // Set only by DeviceWorkspace::begin and cleared only by finish, so edits cannot forge or drop it.
    std::optional<OperationToken> operation;
};

} // namespace kavrin
