#include "KavrinRGBStudio/launcher/CommandLine.hpp"

#include <algorithm>
#include <charconv>

namespace kavrin {

namespace {

std::optional<std::uint64_t> decimal(const std::string& text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// The argument after the first `flag`, if both are there.
std::optional<std::string> valueOf(std::span<const std::string> arguments, const char* flag)
{
    const auto found = std::ranges::find(arguments, flag);
    if (found == arguments.end() || std::next(found) == arguments.end()) {
        return std::nullopt;
    }
    return *std::next(found);
}

std::optional<std::uint64_t> deviceID(std::span<const std::string> arguments)
{
    const auto value = valueOf(arguments, "--device");
    return value ? decimal(*value) : std::nullopt;
}

bool contains(std::span<const std::string> arguments, const char* word)
{
    return std::ranges::find(arguments, word) != arguments.end();
}

// A write must never land on a dock the user did not mean, so unlike "--read" nothing falls back
// to a guess. A value that looks like an option is taken as missing: "--apply --all" names no file.
CommandLine applyCommand(std::span<const std::string> arguments)
{
    const auto path = valueOf(arguments, "--apply");
    if (!path || path->starts_with("--")) {
        throw CommandLineError("--apply 后面需要设置文件的路径，或用 - 表示标准输入。");
    }
    CommandLine commandLine {Command::apply, std::nullopt, *path, contains(arguments, "--persist"),
                             contains(arguments, "--all")};
    if (contains(arguments, "--device")) {
        commandLine.deviceID = deviceID(arguments);
        if (!commandLine.deviceID) {
            throw CommandLineError("--device 后面需要十进制的设备 ID，即 --list 列出的 id。");
        }
    }
    if (commandLine.allDocks && commandLine.deviceID) {
        throw CommandLineError("--all 同步全部设备，不能与 --device 同时使用。");
    }
    // Group writes never ask a dock to save, so "--persist" there would be a promise not kept.
    if (commandLine.allDocks && commandLine.persist) {
        throw CommandLineError("--all 不会让设备保存设置，不能与 --persist 同时使用。");
    }
    return commandLine;
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string> arguments)
{
    if (contains(arguments, "--help")) {
        return {Command::help, std::nullopt};
    }
    if (contains(arguments, "--apply")) {
        return applyCommand(arguments);
    }
    if (contains(arguments, "--read")) {
        return {Command::read, deviceID(arguments)};
    }
    if (contains(arguments, "--list")) {
        return {Command::list, std::nullopt};
    }
    return {.command = Command::window, .deviceID = std::nullopt, .demo = contains(arguments, "--demo")};
}

} // namespace kavrin
