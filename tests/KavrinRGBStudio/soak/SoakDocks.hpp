#pragma once

// Docks for the soak: every I/O step may fail, take time or find the dock gone, as a seeded
// generator decides, and the docks keep their own state so the soak can compare it with what the
// model reports.

#include "KavrinRGBStudio/device/DockLightingIO.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"
#include "KavrinRGBStudio/support/StudioFakes.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace kavrin::soak {

struct PhysicalDock {
    RGBDevice device;
    LightingSettings state;
    bool plugged = true;
    // Left out of the next listing only, as when one enumeration misses a node.
    bool missedOnce = false;
};

class SoakDocks final : public DockLightingIO {
public:
    enum class Step { read, write, frame };

    // Each in a state the dock itself could report (a dark lamp reports full brightness).
    SoakDocks(std::mt19937_64& random, fakes::FakeClock clock)
        : random_(random)
        , clock_(std::move(clock))
    {
        docks.push_back({{1, 0x1044, 0x7A3E, 0x21220000, "HOLTEK", "FORGE A", 8},
                         {true, LightingEffect::breathing, 100, 5, {0xFF, 0x64, 0x00}}});
        docks.push_back({{2, 0x0414, 0x7A61, 0x01130000, "HOLTEK", "MIND", 8},
                         {true, LightingEffect::wave, 70, 3, {0x33, 0x66, 0x99}}});
        docks.push_back({{3, 0x1044, 0x7A27, 0x31220000, "HOLTEK", "FORGE B", 8},
                         {false, LightingEffect::solid, 100, 2, {0x22, 0xC5, 0x5E}}});
    }

    std::vector<RGBDevice> list() override
    {
        slowAndFaulty("列出设备");
        std::vector<RGBDevice> listed;
        for (PhysicalDock& dock : docks) {
            if (dock.plugged && !std::exchange(dock.missedOnce, false)) {
                listed.push_back(dock.device);
            }
        }
        return listed;
    }

    LightingSettings read(const RGBDevice& device) override
    {
        PhysicalDock& dock = reached(device, Step::read);
        slowAndFaulty("读取");
        return dock.state;
    }

    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override
    {
        PhysicalDock& dock = reached(device, Step::write);
        persistedWrites += persist ? 1 : 0;
        const ControllerProfile profile = *matchingProfile(device.vendorID, device.productID);
        validate(profile, settings);
        slowAndFaulty("写入");
        LightingSettings reported = settings;
        reported.brightness = settings.isOn ? effectiveBrightness(profile, settings) : 100;
        dock.state = reported;
        // A read-back that differs: the write took effect, yet the apply fails.
        if (chance(faultRate / 2)) {
            throw TransportError::readbackMismatch();
        }
        return reported;
    }

    // Dock by dock, as the transport writes them; a failure leaves the earlier docks written.
    void writeColors(const DockColors& colors) override
    {
        for (const auto& [device, color] : colors) {
            PhysicalDock& dock = reached(device, Step::frame);
            slowAndFaulty("写入颜色");
            dock.state.color = color;
            ++frames;
        }
    }

    void unplug(PhysicalDock& dock) { dock.plugged = false; }
    // A replugged dock is a new connection with a new registry ID.
    void replug(PhysicalDock& dock)
    {
        dock.plugged = true;
        dock.device.id = nextID_++;
    }

    std::vector<PhysicalDock> docks;
    double faultRate = 0.05;
    int persistedWrites = 0;
    std::size_t frames = 0;
    std::size_t faults = 0;
    // Runs before every step that reaches a plugged dock; the soak checks its rules there.
    std::function<void(const PhysicalDock&, Step)> onStep;

private:
    bool chance(double probability) { return std::bernoulli_distribution(probability)(random_); }

    PhysicalDock& reached(const RGBDevice& device, Step step)
    {
        for (PhysicalDock& dock : docks) {
            if (dock.plugged && dock.device == device) {
                if (onStep) {
                    onStep(dock, step);
                }
                // Unplugged in the middle of the exchange.
                if (chance(faultRate / 10)) {
                    unplug(dock);
                    break;
                }
                return dock;
            }
        }
        throw TransportError::disconnected();
    }

    // A slow dock lets the clock run on; a failed step is an I/O error.
    void slowAndFaulty(const char* operation)
    {
        clock_.advance(std::uniform_real_distribution(0.0, 0.3)(random_));
        if (chance(faultRate)) {
            ++faults;
            throw TransportError::io(operation, IOStatus::timeout);
        }
    }

    std::mt19937_64& random_;
    fakes::FakeClock clock_;
    std::uint64_t nextID_ = 100;
};

} // namespace kavrin::soak
