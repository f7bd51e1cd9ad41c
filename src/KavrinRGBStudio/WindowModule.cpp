// The window module's entry point, the only symbol the module exports.
#include "KavrinRGBStudio/app/StudioApp.hpp"
#include "KavrinRGBStudio/app/WindowEntry.hpp"

#include <exception>
#include <iostream>

extern "C" __attribute__((visibility("default"))) int kavrinRunStudioWindow(int argc, char** argv, bool demo)
{
    // No exception may cross into the executable, which knows this module only by a C symbol.
    try {
        return kavrin::runStudioApp(argc, argv, demo);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
    }
    return 1;
}
