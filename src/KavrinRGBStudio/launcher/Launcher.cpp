#include "KavrinRGBStudio/launcher/Launcher.hpp"

#include "KavrinRGBStudio/launcher/ApplyCommand.hpp"
#include "KavrinRGBStudio/launcher/CommandLine.hpp"
#include "KavrinRGBStudio/launcher/DockChoice.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <optional>

#include <unistd.h>

namespace kavrin::Launcher {

namespace {

constexpr const char* usageText = "KAVRIN RGB Studio\n"
                                  "--list 列出兼容设备（不发送灯光命令）\n"
                                  "--read [--device REGISTRY_ID] 读取灯光设置\n"
                                  "--demo 打开演示界面（不访问 USB）\n"
                                  "--apply FILE|- [--device REGISTRY_ID] [--persist] 应用灯光设置并回读确认，"
                                  "--persist 另让设备断电保存\n"
                                  "--apply FILE|- --all 把全部设备同步到这份设置，任一失败即全部还原\n";

nlohmann::json runCommand(const CommandLine& commandLine, DockLightingIO& transport)
{
    const std::vector<RGBDevice> devices = transport.list();
    if (commandLine.command == Command::list) {
        return devices;
    }
    const RGBDevice& device = chosenDevice(devices, commandLine.deviceID);
    profileOf(device); // refuses a dock without a known model before anything is sent
    return transport.read(device);
}

// Output that never reached its destination (a full disk, a closed descriptor) must not pass for
// success: flush, and on failure report the system's description of why.
int writeOutput(std::ostream& out, std::ostream& err, const std::string& text)
{
    errno = 0;
    out << text;
    out.flush();
    if (out) {
        return 0;
    }
    const int error = errno != 0 ? errno : EIO;
    err << std::strerror(error) << '\n';
    return 1;
}

} // namespace

int main(std::span<const std::string> arguments, const TransportFactory& makeTransport, const WindowRunner& runWindow,
         std::ostream& out, std::ostream& err)
{
    std::optional<CommandLine> parsed;
    try {
        parsed = parseCommandLine(arguments);
    } catch (const CommandLineError& error) {
        err << error.errorDescription() << '\n';
        return 2;
    }
    const CommandLine& commandLine = *parsed;
    if (commandLine.command == Command::window) {
        return runWindow(commandLine.demo);
    }
    if (commandLine.command == Command::help) {
        return writeOutput(out, err, usageText);
    }
    try {
        const std::shared_ptr<DockLightingIO> transport = makeTransport();
        const CommandOutput output = commandLine.command == Command::apply
            ? runApply(commandLine, *transport, STDIN_FILENO)
            : CommandOutput {runCommand(commandLine, *transport)};
        // Names come from the dock's firmware: print what cannot be UTF-8 as U+FFFD rather than
        // fail the whole listing over one odd byte.
        const std::string json = output.json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        const int written = writeOutput(out, err, json + '\n');
        return written != 0 ? written : output.status;
    } catch (const UserFacingError& error) {
        err << error.errorDescription() << '\n';
    } catch (const std::exception& error) {
        err << error.what() << '\n';
    }
    return 1;
}

} // namespace kavrin::Launcher
