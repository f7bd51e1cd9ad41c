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

std::optional<std::uint64_t> deviceID(std::span<const std::string> arguments)
{
    const auto flag = std::ranges::find(arguments, "--device");
    if (flag == arguments.end() || std::next(flag) == arguments.end()) {
        return std::nullopt;
    }
    return decimal(*std::next(flag));
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string> arguments)
{
    const auto contains
        = [arguments](const char* word) { return std::ranges::find(arguments, word) != arguments.end(); };
    if (contains("--help")) {
        return {Command::help, std::nullopt, false};
    }
    if (contains("--read")) {
        return {Command::read, deviceID(arguments), false};
    }
    if (contains("--list")) {
        return {Command::list, std::nullopt, false};
    }
    return {Command::window, std::nullopt, contains("--demo")};
}

} // namespace kavrin
