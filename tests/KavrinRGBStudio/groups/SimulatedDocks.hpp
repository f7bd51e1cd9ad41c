#pragma once

#include "KavrinRGBStudio/device/DockLightingIO.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavrin {

// One call that reached the simulated back-end.
struct DockCall {
    enum class Kind { list, read, apply, writeColors };

    Kind kind;
    std::uint64_t id = 0;
    std::optional<LightingSettings> settings;
    bool persist = false;
    DockColors colors;
};

// A back-end that keeps each dock's state, records every call and fails chosen I/O steps, so tests
// can check what a dock actually holds after a group action rather than what was reported.
// Single-threaded: tests hand it to one device thread at a time.
class SimulatedDocks final : public DockLightingIO {
public:
    // Docks are listed in the given order and start from the given settings.
    explicit SimulatedDocks(const std::vector<std::pair<RGBDevice, LightingSettings>>& docks);
    // The three demo docks (two FORGE CUBE, one MIND CUBE) with settings each model accepts.
    static std::vector<std::pair<RGBDevice, LightingSettings>> threeDocks();

    // Calls are counted from 0 across all four operations; a failing step throws a TransportError
    // whose text names the step, so tests can tell which failure surfaced.
    void failAt(std::set<std::size_t> steps) { failingSteps_ = std::move(steps); }
    // Whether a failing apply has already changed the dock, as when the read-back disagrees.
    void failAfterWriting(bool afterWriting) { failAfterWriting_ = afterWriting; }

    std::vector<RGBDevice> list() override;
    LightingSettings read(const RGBDevice& device) override;
    LightingSettings apply(const LightingSettings& settings, const RGBDevice& device, bool persist) override;
    void writeColors(const DockColors& colors) override;

    std::vector<DockCall> callsOf(DockCall::Kind kind) const;
    // Registry IDs of the applies, in call order.
    std::vector<std::uint64_t> appliedIDs() const;
    std::size_t saves() const;
    // Description of the injected failure at a step, if that step failed.
    std::optional<std::string> failureAt(std::size_t step) const;

    std::vector<RGBDevice> listed;
    std::unordered_map<std::uint64_t, LightingSettings> state;
    std::vector<DockCall> calls;

private:
    // Records the call; throws when its step is one of the failing ones.
    void step(DockCall call, bool writesBeforeFailing = false);

    std::set<std::size_t> failingSteps_;
    bool failAfterWriting_ = false;
    std::unordered_map<std::size_t, std::string> failures_;
};

} // namespace kavrin
