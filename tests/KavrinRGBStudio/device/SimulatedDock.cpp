#include "SimulatedDock.hpp"

namespace kavrin {

namespace {

constexpr std::uint8_t setColorForgeCube = 0xC8;
constexpr std::uint8_t setColorMindCube = 0xCD;
constexpr std::uint8_t setMode = 0xC9;
constexpr std::uint8_t colorRequest = 0xCA;
constexpr std::uint8_t modeRequest = 0xCB;
constexpr std::uint8_t saveSettings = 0xB6;

} // namespace

void SimulatedDock::take(std::span<const std::uint8_t, 8> report)
{
    if (report[0] == 0x00) {
        answerRequest(report[1]);
        return;
    }
    // The older model frames every write with a leading 0x01; the newer starts with the command.
    const bool forgeCube = profile_ == ControllerProfile::forgeCubeLegacy;
    if (forgeCube && report[0] != 0x01) {
        return;
    }
    const std::size_t offset = forgeCube ? 1 : 0;
    const std::uint8_t command = report[offset];
    const auto payload = report.subspan(offset + 1, 3);
    if (command == (forgeCube ? setColorForgeCube : setColorMindCube)) {
        color_ = {payload[0], payload[1], payload[2]};
    } else if (command == setMode) {
        // The newer model takes speed - 1 but answers 9 - speed.
        mode_ = {payload[0], payload[1], static_cast<std::uint8_t>(forgeCube ? payload[2] : 8 - payload[2])};
    } else if (command == saveSettings) {
        saved_ = true;
    }
}

void SimulatedDock::answerRequest(std::uint8_t request)
{
    if (request == modeRequest) {
        answer_ = {0x00, modeRequest, mode_[0], mode_[1], mode_[2], 0x00, 0x00, 0x00};
    } else if (request == colorRequest) {
        answer_ = {0x00, colorRequest, color_.red, color_.green, color_.blue, 0x00, 0x00, 0x00};
    }
}

} // namespace kavrin
