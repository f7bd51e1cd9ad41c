#include "KavrinRGBStudio/device/HIDTransport.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"
#include "RGBProtocol/lighting/ControllerProfile.hpp"
#include "RGBProtocol/lighting/HIDReportLayout.hpp"
#include "RGBProtocol/lighting/LightingController.hpp"
#include "RGBProtocol/lighting/LightingProtocol.hpp"
#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <algorithm>
#include <tuple>

namespace kavrin {

namespace {

// Every controller report needs this long before the dock takes the next one.
constexpr std::chrono::milliseconds controllerSettle {100};
constexpr std::chrono::milliseconds colorSettle {10};

constexpr const char* defaultProductName = "USB-HID Device";

// Interfaces of the docks' vendors with the lighting page anywhere; the product decides the model later.
bool matchesEnumeration(const HIDInterface& interface)
{
    return std::ranges::find(dockModels, interface.vendorID, &DockModelFacts::vendorID) != dockModels.end()
        && std::ranges::find(interface.usagePages, LightingProtocol::usagePage) != interface.usagePages.end();
}

std::optional<HIDReportLayout> layoutOf(const HIDInterface& interface)
{
    try {
        return HIDReportLayout(interface.reportDescriptor);
    } catch (const ProtocolError&) {
        return std::nullopt;
    }
}

std::optional<RGBDevice> describe(const HIDInterface& interface)
{
    if (!matchingProfile(interface.vendorID, interface.productID)
        || interface.primaryUsagePage() != LightingProtocol::usagePage) {
        return std::nullopt;
    }
    const std::optional<HIDReportLayout> layout = layoutOf(interface);
    if (!layout || !layout->supportsForgeCube() || !interface.registryID) {
        return std::nullopt;
    }
    return RGBDevice {
        *interface.registryID,
        interface.vendorID,
        interface.productID,
        interface.locationID,
        interface.manufacturer.value_or(""),
        interface.product.value_or(defaultProductName),
        layout->featureLengths().at(0),
    };
}

struct DescribedInterface {
    const HIDInterface* interface;
    RGBDevice device;
};

// Each interface is described once per operation, however many docks are looked up in it.
std::vector<DescribedInterface> describeAll(const std::vector<HIDInterface>& interfaces)
{
    std::vector<DescribedInterface> described;
    for (const HIDInterface& interface : interfaces) {
        if (std::optional<RGBDevice> device = describe(interface)) {
            described.push_back({&interface, std::move(*device)});
        }
    }
    return described;
}

// The interface whose description equals the device in all fields; the first one wins.
const HIDInterface* find(const std::vector<DescribedInterface>& described, const RGBDevice& device)
{
    const auto found = std::ranges::find(described, device, &DescribedInterface::device);
    return found == described.end() ? nullptr : found->interface;
}

ControllerProfile profileOf(const RGBDevice& device)
{
    const std::optional<ControllerProfile> profile = matchingProfile(device.vendorID, device.productID);
    if (!profile) {
        throw TransportError::unsupported();
    }
    return *profile;
}

void check(std::uint32_t status, const char* operation)
{
    if (status != 0) {
        throw TransportError::io(operation, status);
    }
}

} // namespace

// The controller's channel to one open interface.
class HIDTransport::Exchange : public FeatureReportExchange {
public:
    Exchange(HIDTransport& transport, HIDConnection& connection)
        : transport_(transport)
        , connection_(connection)
    {
    }

    void send(std::span<const std::uint8_t> bytes) override { transport_.send(connection_, bytes, controllerSettle); }
    std::vector<std::uint8_t> receive() override { return transport_.receive(connection_); }

private:
    HIDTransport& transport_;
    HIDConnection& connection_;
};

HIDTransport::HIDTransport(std::shared_ptr<HIDSystem> system, ThreadSleep sleep)
    : system_(std::move(system))
    , sleep_(std::move(sleep))
{
}

std::vector<RGBDevice> HIDTransport::list()
{
    std::vector<RGBDevice> devices;
    for (DescribedInterface& described : describeAll(matchingInterfaces())) {
        devices.push_back(std::move(described.device));
    }
    std::ranges::sort(devices, [](const RGBDevice& left, const RGBDevice& right) {
        return std::tie(left.locationID, left.id) < std::tie(right.locationID, right.id);
    });
    return devices;
}

LightingSettings HIDTransport::read(const RGBDevice& device)
{
    return withController(device, [](LightingController& controller) { return controller.read(); });
}

LightingSettings HIDTransport::apply(const LightingSettings& settings, const RGBDevice& device, bool persist)
{
    validate(profileOf(device), settings);
    return withController(
        device, [&settings, persist](LightingController& controller) { return controller.apply(settings, persist); });
}

void HIDTransport::writeColors(const DockColors& colors)
{
    struct Target {
        RGBDevice device;
        LightColor color;
        ControllerProfile profile;
        const HIDInterface* interface = nullptr;
    };
    std::vector<Target> targets;
    for (const auto& [device, color] : colors) {
        targets.push_back({device, color, profileOf(device)});
    }
    std::ranges::sort(targets, {}, [](const Target& target) { return target.device.id; });
    const auto sameID = [](const Target& left, const Target& right) { return left.device.id == right.device.id; };
    if (targets.empty() || std::ranges::adjacent_find(targets, sameID) != targets.end()) {
        throw TransportError::unsupported();
    }

    const std::vector<HIDInterface> interfaces = matchingInterfaces();
    const std::vector<DescribedInterface> described = describeAll(interfaces);
    for (Target& target : targets) {
        target.interface = find(described, target.device);
        if (!target.interface) {
            throw TransportError::disconnected();
        }
    }
    for (const Target& target : targets) {
        const std::unique_ptr<HIDConnection> connection = open(*target.interface, IOOperation::openForColors);
        send(*connection, LightingProtocol::colorCommand(target.color, target.profile), colorSettle);
    }
}

std::vector<HIDInterface> HIDTransport::matchingInterfaces()
{
    HIDResult<std::vector<HIDInterface>> enumeration = system_->interfaces();
    check(enumeration.status, IOOperation::enumerate);
    std::erase_if(enumeration.value, [](const HIDInterface& interface) { return !matchesEnumeration(interface); });
    return std::move(enumeration.value);
}

LightingSettings HIDTransport::withController(const RGBDevice& device, const ControllerOperation& operation)
{
    const ControllerProfile profile = profileOf(device);
    const std::vector<HIDInterface> interfaces = matchingInterfaces();
    const HIDInterface* interface = find(describeAll(interfaces), device);
    if (!interface) {
        throw TransportError::disconnected();
    }
    const std::unique_ptr<HIDConnection> connection = open(*interface, IOOperation::open);
    Exchange exchange(*this, *connection);
    LightingController controller(exchange, profile);
    return operation(controller);
}

std::unique_ptr<HIDConnection> HIDTransport::open(const HIDInterface& interface, const char* operation)
{
    HIDResult<std::unique_ptr<HIDConnection>> opened = system_->open(interface);
    check(opened.status, operation);
    return std::move(opened.value);
}

void HIDTransport::send(HIDConnection& connection, std::span<const std::uint8_t> bytes,
                        std::chrono::milliseconds settle)
{
    if (bytes.size() != 8) {
        throw ProtocolError::invalidSettings();
    }
    check(connection.setFeatureReport(bytes.first<8>()), IOOperation::send);
    sleep_(settle);
}

std::vector<std::uint8_t> HIDTransport::receive(HIDConnection& connection)
{
    HIDResult<std::vector<std::uint8_t>> answer = connection.getFeatureReport();
    check(answer.status, IOOperation::receive);
    if (answer.value.size() != 8) {
        throw ProtocolError::invalidResponse();
    }
    return std::move(answer.value);
}

} // namespace kavrin
