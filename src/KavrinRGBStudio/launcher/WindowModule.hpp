#pragma once

#include <ostream>

namespace kavrin {

// Loads the window module from beside the executable (the build tree) or from
// ../lib/kavrin-rgb-studio (an installed tree) and runs the window application in it. A module or
// entry point that cannot be had is one line on `err` and status 1.
int runWindowModule(int argc, char** argv, bool demo, std::ostream& err);

} // namespace kavrin
