#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"

#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>

namespace kavrin {

using TransportFactory = std::function<std::shared_ptr<DockLightingIO>()>;
// Runs the window application, with the simulated docks when asked, and returns the exit status.
using WindowRunner = std::function<int(bool demo)>;

namespace Launcher {

// The process entry: runs "--list", "--read [--device REGISTRY_ID]", "--apply FILE|- ..." or
// "--help", or without any of them the window, and returns the exit status: 0, 1 after a failure, 2
// for a command line that cannot be carried out. JSON goes to `out`, a failure's one-line message to
// `err`. The transport is made only for a command that needs docks. `arguments` excludes the
// program path.
int main(std::span<const std::string> arguments, const TransportFactory& makeTransport, const WindowRunner& runWindow,
         std::ostream& out, std::ostream& err);

} // namespace Launcher

} // namespace kavrin
