#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kavrin {

enum class Command { window, help, list, read };

struct CommandLine {
    Command command;
    // The number after the first "--device", when it is an unsigned 64-bit decimal number.
    std::optional<std::uint64_t> deviceID;
    // The window's simulated docks; the commands never use them.
    bool demo;
};

// Arguments (without the program path) are matched as whole words, anywhere, case-sensitively;
// anything unrecognised is ignored. "--help" wins over "--read", which wins over "--list".
CommandLine parseCommandLine(std::span<const std::string> arguments);

} // namespace kavrin
