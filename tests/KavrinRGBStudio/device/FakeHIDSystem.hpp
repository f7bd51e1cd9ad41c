#pragma once

#include "KavrinRGBStudio/device/HIDSystem.hpp"
#include "KavrinRGBStudio/device/HIDTransport.hpp"
#include "SimulatedDock.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// The descriptor of a dock's lighting interface: one vendor-page application collection with
// one unnumbered 8-byte feature report.
std::vector<std::uint8_t> lightingDescriptor();

// A scripted HID system hosting simulated docks. It records every call, in order, together with
// the transport's pauses, and fails on cue.
class FakeHIDSystem : public HIDSystem {
public:
    struct Node {
        HIDInterface interface;
        // Null for an interface that is not a dock.
        std::shared_ptr<SimulatedDock> dock;
        std::uint32_t openStatus = 0;
    };
    // A call that fails: the `call`th of its kind (counting from 1, from when the fault is set)
    // gives `status`.
    struct Fault {
        std::size_t call;
        std::uint32_t status;
        std::size_t calls = 0;
    };

    // Adds a dock of the model at the location and returns its node.
    Node& addDock(ControllerProfile profile, std::uint64_t registryID, std::int64_t locationID);
    Node& node(std::uint64_t registryID);
    ThreadSleep sleep();

    HIDResult<std::vector<HIDInterface>> interfaces() override;
    HIDResult<std::unique_ptr<HIDConnection>> open(const HIDInterface& interface) override;

    std::vector<Node> nodes;
    std::uint32_t enumerationStatus = 0;
    std::optional<Fault> setFault;
    std::optional<Fault> getFault;
    // Answers are cut or padded to this length when set.
    std::optional<std::size_t> answerLength;

    // "open N", "set N <hex bytes>", "get N", "close N" (N the registry ID) and "sleep <ms>".
    std::vector<std::string> log;
    std::size_t enumerations = 0;
    std::size_t openConnections = 0;

private:
    class Connection;
};

} // namespace kavrin
