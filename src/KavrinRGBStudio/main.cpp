#include "KavrinRGBStudio/device/DockBackend.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "KavrinRGBStudio/launcher/WindowModule.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const auto runWindow = [argc, argv](bool demo) { return kavrin::runWindowModule(argc, argv, demo, std::cerr); };
    // The command line always talks to real docks, even with --demo among the arguments.
    return kavrin::Launcher::main(
        arguments, [] { return kavrin::makeDockLightingIO(false); }, runWindow, std::cout, std::cerr);
}
