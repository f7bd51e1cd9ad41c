#pragma once

#include "RGBProtocol/UserFacingError.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kavrin {

enum class Command { window, help, list, read, apply };

struct CommandLine {
    Command command;
    // The number after the first "--device", when it is an unsigned 64-bit decimal number.
    std::optional<std::uint64_t> deviceID;
    // With Command::apply: the settings file after the first "--apply", "-" for standard input.
    std::string settingsPath {};
    bool persist = false;
    bool allDocks = false;
    // The window's simulated docks; the commands never use them.
    bool demo = false;
};

// A command line that names a command but cannot be carried out as written.
class CommandLineError : public UserFacingError {
public:
    using UserFacingError::UserFacingError;
};

// Arguments (without the program path) are matched as whole words, anywhere, case-sensitively;
// anything unrecognised is ignored. "--help" wins over "--apply", which wins over "--read", which
// wins over "--list". "--apply" is strict, since it writes: a missing file, a "--device" without a
// decimal ID, or "--all" with "--device" or "--persist" throw CommandLineError.
CommandLine parseCommandLine(std::span<const std::string> arguments);

} // namespace kavrin
