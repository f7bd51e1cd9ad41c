// The launcher as the executable runs it, but over a sysfs and /dev below a given folder, so that
// process tests do not depend on the docks of the machine that runs them:
//   kavrin-launcher-fake-sysfs ROOT ARGUMENTS...
#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: kavrin-launcher-fake-sysfs ROOT ARGUMENTS...\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    const auto makeTransport = [&root] {
        return std::make_shared<kavrin::HIDTransport>(
            std::make_shared<kavrin::LinuxHIDSystem>(root / "sys", root / "dev"), [](std::chrono::milliseconds) {});
    };
    const auto noWindow = [](bool) {
        std::cerr << "kavrin-launcher-fake-sysfs: runs the commands only\n";
        return 2;
    };
    return kavrin::Launcher::main(arguments, makeTransport, noWindow, std::cout, std::cerr);
}
