#include "KavrinRGBStudio/launcher/Launcher.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/launcher/CommandLine.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kavrin::Launcher {

namespace {

constexpr const char* usageText = "KAVRIN RGB Studio\n"
                                  "--list 列出兼容设备（不发送灯光命令）\n"
                                  "--read [--device REGISTRY_ID] 读取灯光设置\n"
                                  "--demo 打开演示界面（不访问 USB）\n";

const RGBDevice& chosenDevice(const std::vector<RGBDevice>& devices, std::optional<std::uint64_t> requestedID)
{
    if (requestedID) {
        const auto found = std::ranges::find(devices, *requestedID, &RGBDevice::id);
        if (found == devices.end()) {
            throw TransportError::noDevice();
        }
        return *found;
    }
    if (devices.size() > 1) {
        throw TransportError::ambiguous();
    }
    if (devices.empty()) {
        throw TransportError::noDevice();
    }
    return devices.front();
}

nlohmann::json runCommand(const CommandLine& commandLine, DockLightingIO& transport)
{
    const std::vector<RGBDevice> devices = transport.list();
    if (commandLine.command == Command::list) {
        return devices;
    }
    const RGBDevice& device = chosenDevice(devices, commandLine.deviceID);
    if (!matchingProfile(device.vendorID, device.productID)) {
        throw TransportError::unsupported();
    }
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
    const CommandLine commandLine = parseCommandLine(arguments);
    if (commandLine.command == Command::window) {
        return runWindow(commandLine.demo);
    }
    if (commandLine.command == Command::help) {
        return writeOutput(out, err, usageText);
    }
    try {
        const std::shared_ptr<DockLightingIO> transport = makeTransport();
        // Names come from the dock's firmware: print what cannot be UTF-8 as U+FFFD rather than
        // fail the whole listing over one odd byte.
        const std::string json
            = runCommand(commandLine, *transport).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        return writeOutput(out, err, json + '\n');
    } catch (const UserFacingError& error) {
        err << error.errorDescription() << '\n';
    } catch (const std::exception& error) {
        err << error.what() << '\n';
    }
    return 1;
}

} // namespace kavrin::Launcher
