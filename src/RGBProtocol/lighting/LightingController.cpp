#include "RGBProtocol/lighting/LightingController.hpp"

#include "RGBProtocol/lighting/LightingProtocol.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

namespace kavrin {

LightingSettings LightingController::read()
{
    exchange_.send(LightingProtocol::readSettings);
    const std::vector<std::uint8_t> mode = exchange_.receive();
    exchange_.send(LightingProtocol::readColorCommand(profile_));
    const std::vector<std::uint8_t> color = exchange_.receive();
    return LightingProtocol::decode(mode, color, profile_);
}

LightingSettings LightingController::apply(const LightingSettings& settings, bool persist)
{
    for (const Report& report : LightingProtocol::commands(settings, profile_)) {
        exchange_.send(report);
    }
    const LightingSettings readback = read();
    if (!settings.matchesReadback(readback, profile_)) {
        throw ProtocolError::readbackMismatch();
    }
    if (persist) {
        exchange_.send(LightingProtocol::saveCommand(profile_));
    }
    return readback;
}

} // namespace kavrin
