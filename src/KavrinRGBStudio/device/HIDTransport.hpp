#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/device/HIDSystem.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <span>

namespace kavrin {

class LightingController;

// Pauses the calling thread.
using ThreadSleep = std::function<void(std::chrono::milliseconds)>;

// Real docks through the system's HID access. Keeps no handle between calls: every operation
// enumerates afresh and opens one interface for its own length, so a dock whose description
// changed since it was listed is refused rather than mistaken for another.
class HIDTransport : public DockLightingIO {
public:
    HIDTransport(std::shared_ptr<HIDSystem> system, ThreadSleep sleep);

    std::vector<RGBDevice> list() override;
    LightingSettings read(const RGBDevice& device) override;
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override;
    void writeColors(const DockColors& colors) override;

private:
    class Exchange;

    using ControllerOperation = std::function<LightingSettings(LightingController&)>;

    std::vector<HIDInterface> matchingInterfaces();
    // Runs the operation on a controller for the one open interface that is the device.
    LightingSettings withController(const RGBDevice& device, const ControllerOperation& operation);
    std::unique_ptr<HIDConnection> open(const HIDInterface& interface, const char* operation);
    void send(HIDConnection& connection, std::span<const std::uint8_t> bytes, std::chrono::milliseconds settle);
    std::vector<std::uint8_t> receive(HIDConnection& connection);

    std::shared_ptr<HIDSystem> system_;
    ThreadSleep sleep_;
};

} // namespace kavrin
