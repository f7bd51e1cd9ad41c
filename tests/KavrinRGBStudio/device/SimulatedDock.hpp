#pragma once

#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/LightingProtocol.hpp"

#include <array>
#include <cstdint>
#include <span>

namespace kavrin {

// A dock's lighting controller: takes the real command and request reports of its model and
// keeps the answer to the last request, as the hardware does.
class SimulatedDock {
public:
    // `mode` holds the mode answer's effect, brightness and speed bytes.
    SimulatedDock(ControllerProfile profile, std::array<std::uint8_t, 3> mode, LightColor color)
        : profile_(profile)
        , mode_(mode)
        , color_(color)
    {
    }

    void take(std::span<const std::uint8_t, 8> report);
    const Report& answer() const { return answer_; }
    bool saved() const { return saved_; }

private:
    void answerRequest(std::uint8_t request);

    ControllerProfile profile_;
    std::array<std::uint8_t, 3> mode_;
    LightColor color_;
    Report answer_ {};
    bool saved_ = false;
};

} // namespace kavrin
