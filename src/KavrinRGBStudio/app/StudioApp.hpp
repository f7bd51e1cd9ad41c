#pragma once

namespace kavrin {

// The window application: one studio model for the life of the process, its window, and the quit
// handshake. Returns the exit status once the application has ended.
int runStudioApp(int argc, char** argv, bool demo);

} // namespace kavrin
