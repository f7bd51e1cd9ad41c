#include "RGBProtocol/workspace/DockSession.hpp"

#include "RGBProtocol/lighting/ProtocolError.hpp"

namespace kavrin {

bool DockSession::edited() const
{
    if (!lastRead || settings != *lastRead) {
        return true;
    }
    try {
        return LightColor::fromHex(hexText) != settings.color;
    } catch (const ProtocolError&) {
        return true;
    }
}

} // namespace kavrin
