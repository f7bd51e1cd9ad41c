#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/launcher/Launcher.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return kavrin::Launcher::main(
        arguments, [] { return std::make_shared<kavrin::HIDTransport>(); }, std::cout, std::cerr);
}
