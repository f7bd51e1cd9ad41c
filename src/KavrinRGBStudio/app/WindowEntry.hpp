#pragma once

// The window module's one entry point. The executable loads the module and looks the entry up by
// name only when it opens the window, so the command line never loads Qt. Standard C++ only: the
// launcher includes this header.
extern "C" {
// Runs the window application until it ends and returns the process's exit status. `argv` holds
// the program path and every argument; `demo` selects the simulated docks.
int kavrinRunStudioWindow(int argc, char** argv, bool demo);
}

namespace kavrin {

inline constexpr const char* windowModuleFileName = "kavrin-rgb-studio-window.so";
inline constexpr const char* windowEntryName = "kavrinRunStudioWindow";
using WindowEntry = decltype(&kavrinRunStudioWindow);

} // namespace kavrin
