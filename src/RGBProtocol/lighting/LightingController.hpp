#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/FeatureReportExchange.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

namespace kavrin {

// Read / apply / verify / save for one dock. Nothing counts as applied until the dock's own
// read-back confirms it, and the save command is sent only after that.
class LightingController {
public:
    LightingController(FeatureReportExchange& exchange, ControllerProfile profile)
        : exchange_(exchange)
        , profile_(profile)
    {
    }

    LightingSettings read();
    // Returns the settings the dock reported after the change.
    LightingSettings apply(const LightingSettings& settings, bool persist);

private:
    FeatureReportExchange& exchange_;
    ControllerProfile profile_;
};

} // namespace kavrin
