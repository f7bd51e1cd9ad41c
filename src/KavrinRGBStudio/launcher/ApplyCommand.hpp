#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/launcher/CommandLine.hpp"
#include "RGBProtocol/UserFacingError.hpp"

#include <nlohmann/json.hpp>

namespace kavrin {

// An apply that failed after a command may have reached the dock.
class PartlyAppliedError : public UserFacingError {
public:
    using UserFacingError::UserFacingError;
};

// What a command prints on standard output, and the exit status it ends with.
struct CommandOutput {
    nlohmann::json json;
    int status = 0;
};

// "--apply": the settings file is read and checked before any dock is listed. One dock: applied,
// confirmed by read-back, saved with "--persist", and the read-back printed; a failure throws,
// as PartlyAppliedError once a command may have been sent. "--all": every listed dock synchronised
// with rollback, one {"id", "success", "message"} per dock in list order; status 1 unless all
// succeeded. Refusals before the first write throw.
CommandOutput runApply(const CommandLine& commandLine, DockLightingIO& io, int standardInput);

} // namespace kavrin
