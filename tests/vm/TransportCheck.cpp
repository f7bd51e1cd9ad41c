// Drives the hidraw transport where the command line does not reach:
//   kavrin-transport-check apply DEVICE SETTINGS persist|keep
//   kavrin-transport-check write-colors DEVICE RRGGBB [DEVICE RRGGBB]...
// DEVICE is one object of the --list output, SETTINGS an object as --read prints it. Prints
// apply's read-back as one line of JSON; any failure, its arguments' included, prints the error's
// message to standard error and exits 1, as the launcher does.
#include "KavrinRGBStudio/device/DockBackend.hpp"
#include "RGBProtocol/lighting/LightingJSON.hpp"

#include <exception>
#include <iostream>
#include <string>

using namespace kavrin;

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        const std::shared_ptr<DockLightingIO> transport = makeDockLightingIO(false);
        const auto device = [](const char* json) { return nlohmann::json::parse(json).get<RGBDevice>(); };
        if (command == "apply" && argc == 5) {
            const LightingSettings settings = decodeLightingSettings(nlohmann::json::parse(argv[3]));
            const LightingSettings readback
                = transport->apply(settings, device(argv[2]), std::string(argv[4]) == "persist");
            std::cout << nlohmann::json(readback).dump() << '\n';
            return 0;
        }
        if (command == "write-colors" && argc >= 4 && argc % 2 == 0) {
            DockColors colors;
            for (int i = 2; i < argc; i += 2)
                colors[device(argv[i])] = LightColor::fromHex(argv[i + 1]);
            transport->writeColors(colors);
            return 0;
        }
    } catch (const std::exception& error) {
        // Malformed arguments (JSON, colour text) are reported like the transport's own failures.
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cerr << "kavrin-transport-check: see the head of its source for usage\n";
    return 2;
}
