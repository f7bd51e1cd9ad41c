// The command line as a user or a script types it, with the settings an "--apply -" reads from
// standard input: the settings text, then the arguments, separated by NUL bytes. The docks are the
// demonstration back-end's three, in memory, fresh for every input.
#include "FuzzProperty.hpp"

#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

namespace kavrin::fuzz {
namespace {

constexpr std::size_t maximumArguments = 16;
constexpr int windowStatus = 42;

struct Input {
    std::string_view settings;
    std::vector<std::string> arguments;
};

Input split(std::string_view text)
{
    Input input;
    const std::size_t end = text.find('\0');
    input.settings = text.substr(0, end);
    for (std::size_t start = end; start != std::string_view::npos && input.arguments.size() < maximumArguments;) {
        const std::size_t stop = text.find('\0', start + 1);
        input.arguments.emplace_back(text.substr(start + 1, stop - start - 1));
        start = stop;
    }
    return input;
}

// Standard input is a memory file holding the settings text, rewound for every input.
void provideStandardInput(std::string_view settings)
{
    static const int file = ::memfd_create("settings", MFD_CLOEXEC);
    require(file >= 0 && ::ftruncate(file, 0) == 0, "standard input could not be prepared");
    require(::pwrite(file, settings.data(), settings.size(), 0) == static_cast<ssize_t>(settings.size()),
            "standard input could not be written");
    require(::lseek(file, 0, SEEK_SET) == 0 && ::dup2(file, STDIN_FILENO) == STDIN_FILENO,
            "standard input could not be rewound");
}

bool contains(const std::vector<std::string>& arguments, std::string_view word)
{
    return std::ranges::find(arguments, word) != arguments.end();
}

std::vector<LightingSettings> states(DemoDockIO& docks)
{
    std::vector<LightingSettings> found;
    for (const RGBDevice& device : docks.list()) {
        found.push_back(docks.read(device));
    }
    return found;
}

void check(const std::vector<std::string>& arguments, int status, const std::string& out, const std::string& err,
           DemoDockIO& docks)
{
    const bool command = contains(arguments, "--help") || contains(arguments, "--apply")
        || contains(arguments, "--read") || contains(arguments, "--list");
    require((status == windowStatus) == !command, "the window opened for a command, or a command for the window");
    if (status == windowStatus) {
        return;
    }
    require(status >= 0 && status <= 2, "an exit status other than 0, 1 or 2");
    // One message line at most on standard error; whatever goes to standard output is whole JSON.
    require(std::ranges::count(err, '\n') == (err.empty() ? 0 : 1) && (err.empty() || err.ends_with('\n')),
            "not one line on standard error");
    require(status == 0 || !err.empty() || contains(arguments, "--all"), "a failure without a message");
    const bool help = contains(arguments, "--help");
    if (!help && !out.empty()) {
        require(!nlohmann::json::parse(out, nullptr, false).is_discarded(), "standard output is not JSON");
    }
    const bool applied = !help && contains(arguments, "--apply");
    if (!applied || status == 2) {
        DemoDockIO untouched;
        require(states(docks) == states(untouched), "a dock changed without an apply");
        return;
    }
    // A single apply prints the dock's read-back, which the dock then holds.
    if (status == 0 && !contains(arguments, "--all")) {
        const LightingSettings printed = decodeLightingSettings(nlohmann::json::parse(out));
        require(std::ranges::count(states(docks), printed) >= 1, "the printed read-back is on no dock");
    }
}

} // namespace
} // namespace kavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kavrin;
    const fuzz::Input input = fuzz::split(fuzz::text(data, size));
    fuzz::provideStandardInput(input.settings);
    const auto docks = std::make_shared<DemoDockIO>();
    std::ostringstream out;
    std::ostringstream err;
    const int status = Launcher::main(
        input.arguments, [&] { return docks; }, [](bool) { return fuzz::windowStatus; }, out, err);
    fuzz::check(input.arguments, status, out.str(), err.str(), *docks);
    return 0;
}
