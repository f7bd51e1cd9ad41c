#include "KavrinRGBStudio/device/DockBackend.hpp"

#include "KavrinRGBStudio/device/DemoDockIO.hpp"
#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"

#include <thread>

namespace kavrin {

std::shared_ptr<DockLightingIO> makeDockLightingIO(bool demo)
{
    if (demo) {
        return std::make_shared<DemoDockIO>();
    }
    return std::make_shared<HIDTransport>(std::make_shared<LinuxHIDSystem>(),
                                          [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); });
}

} // namespace kavrin
