#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"
#include "KavrinRGBStudio/launcher/WindowModule.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const auto runWindow = [argc, argv](bool demo) { return kavrin::runWindowModule(argc, argv, demo, std::cerr); };
    return kavrin::Launcher::main(
        arguments, [] { return std::make_shared<kavrin::HIDTransport>(); }, runWindow, std::cout, std::cerr);
}
