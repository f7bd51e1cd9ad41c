#pragma once

#include "RGBProtocol/UserFacingError.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <cstddef>
#include <string>

namespace kavrin {

// A settings file that holds no lighting settings, worded for the user.
class SettingsFileError : public UserFacingError {
public:
    using UserFacingError::UserFacingError;
};

// Far above the largest settings object "--read" prints (under 200 bytes), and small enough that
// a file that never ends (a device node, an endless pipe) is refused after a few kilobytes.
inline constexpr std::size_t settingsFileLimit = 4096;

// One LightingSettings JSON object, the form "--read" prints, from `path`, or from the open
// descriptor `standardInput` when the path is "-". Throws SettingsFileError when the file is
// missing, unreadable, empty, larger than settingsFileLimit, not JSON or not shaped like settings,
// and ProtocolError::invalidSettings when a value lies outside what any dock accepts.
LightingSettings readSettingsFile(const std::string& path, int standardInput);

} // namespace kavrin
