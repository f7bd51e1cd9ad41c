#include "FakeHIDSystem.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace kavrin {

namespace {

std::string hex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

bool failsNow(std::optional<FakeHIDSystem::Fault>& fault)
{
    return fault && ++fault->calls == fault->call;
}

} // namespace

std::vector<std::uint8_t> lightingDescriptor()
{
    return {0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00,
            0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};
}

class FakeHIDSystem::Connection : public HIDConnection {
public:
    Connection(FakeHIDSystem& system, Node& node)
        : system_(system)
        , node_(node)
        , name_(std::to_string(id()))
    {
        ++system_.openConnections;
    }
    ~Connection() override
    {
        --system_.openConnections;
        system_.log.push_back("close " + name_);
    }

    std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) override
    {
        system_.log.push_back("set " + name_ + " " + hex(report));
        if (failsNow(system_.setFault)) {
            return system_.setFault->status;
        }
        if (node_.dock) {
            node_.dock->take(report);
        }
        return 0;
    }

    HIDResult<std::vector<std::uint8_t>> getFeatureReport() override
    {
        system_.log.push_back("get " + name_);
        if (failsNow(system_.getFault)) {
            return {system_.getFault->status, {}};
        }
        const Report answer = node_.dock ? node_.dock->answer() : Report {};
        std::vector<std::uint8_t> bytes(answer.begin(), answer.end());
        bytes.resize(system_.answerLength.value_or(bytes.size()));
        return {0, bytes};
    }

private:
    std::uint64_t id() const { return node_.interface.registryID.value_or(0); }

    FakeHIDSystem& system_;
    Node& node_;
    std::string name_;
};

FakeHIDSystem::Node& FakeHIDSystem::addDock(ControllerProfile profile, std::uint64_t registryID,
                                            std::int64_t locationID)
{
    const bool forgeCube = profile == ControllerProfile::forgeCubeLegacy;
    HIDInterface interface;
    interface.node = "hidraw" + std::to_string(nodes.size());
    interface.registryID = registryID;
    interface.vendorID = forgeCube ? 0x1044 : 0x0414;
    interface.productID = forgeCube ? 0x7A3E : 0x7A61;
    interface.usagePages = {0xFF01};
    interface.reportDescriptor = lightingDescriptor();
    interface.locationID = locationID;
    interface.manufacturer = "HOLTEK";
    interface.product = forgeCube ? "FORGE CUBE" : "MIND CUBE";
    // On, breathing, brightness level 5 or 50 %, speed 3, orange.
    const std::array<std::uint8_t, 3> mode {0x02, static_cast<std::uint8_t>(forgeCube ? 5 : 50),
                                            static_cast<std::uint8_t>(forgeCube ? 7 : 6)};
    nodes.push_back({interface, std::make_shared<SimulatedDock>(profile, mode, LightColor {0xFF, 0x64, 0x00})});
    return nodes.back();
}

FakeHIDSystem::Node& FakeHIDSystem::node(std::uint64_t registryID)
{
    const auto found = std::ranges::find(nodes, std::optional(registryID),
                                         [](const Node& node) { return node.interface.registryID; });
    if (found == nodes.end()) {
        throw std::out_of_range("no fake node with that registry ID");
    }
    return *found;
}

ThreadSleep FakeHIDSystem::sleep()
{
    return [this](std::chrono::milliseconds pause) { log.push_back("sleep " + std::to_string(pause.count())); };
}

HIDResult<std::vector<HIDInterface>> FakeHIDSystem::interfaces()
{
    ++enumerations;
    if (enumerationStatus != 0) {
        return {enumerationStatus, {}};
    }
    std::vector<HIDInterface> found;
    for (const Node& node : nodes) {
        found.push_back(node.interface);
    }
    return {0, found};
}

HIDResult<std::unique_ptr<HIDConnection>> FakeHIDSystem::open(const HIDInterface& interface)
{
    const auto found = std::ranges::find(nodes, interface.node, [](const Node& node) { return node.interface.node; });
    if (found == nodes.end()) {
        return {IOStatus::noDevice, nullptr};
    }
    log.push_back("open " + std::to_string(found->interface.registryID.value_or(0)));
    if (found->openStatus != 0) {
        return {found->openStatus, nullptr};
    }
    return {0, std::make_unique<Connection>(*this, *found)};
}

} // namespace kavrin
