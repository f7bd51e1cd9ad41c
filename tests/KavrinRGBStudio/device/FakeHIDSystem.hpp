#pragma once

#include "KavrinRGBStudio/device/HIDSystem.hpp"
#include "KavrinRGBStudio/device/RGBDevice.hpp"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kavrin {

// One vendor-page application collection with one unnumbered 8-byte feature report.
inline const std::vector<std::uint8_t> dockDescriptor {0x06, 0x01, 0xFF, 0xA1, 0x01, 0x75,
                                                       0x08, 0x95, 0x08, 0xB1, 0x02, 0xC0};

// Scripted docks. Every call is logged in order with the transport's pauses ("list", "open N",
// "set N <bytes>", "get N", "close N", "sleep <ms>"; N the registry ID) and fails with the status
// `faults` gives it. A dock answers from its queue in `queued` while that holds answers, otherwise
// the last request it was sent.
class FakeHIDSystem : public HIDSystem {
public:
    HIDResult<std::vector<HIDInterface>> interfaces() override { return {call("list"), docks}; }

    HIDResult<std::unique_ptr<HIDConnection>> open(const HIDInterface& interface) override
    {
        const std::string id = std::to_string(*interface.registryID);
        const std::uint32_t status = call("open " + id);
        return {status, status != 0 ? nullptr : std::make_unique<Connection>(*this, id)};
    }

    // A lighting interface that the transport describes as `dock`.
    HIDInterface& add(const RGBDevice& dock)
    {
        return docks.emplace_back("hidraw", dock.id, dock.vendorID, dock.productID, std::vector<std::uint32_t> {0xFF01},
                                  dockDescriptor, dock.locationID, dock.manufacturer, dock.product);
    }

    std::vector<HIDInterface> docks;
    // By request byte, as a newer dock answers.
    std::map<std::uint8_t, std::vector<std::uint8_t>> answers {{0xCB, {0x00, 0xCB, 0x02, 50, 9 - 3, 0, 0, 0}},
                                                               {0xCA, {0x00, 0xCA, 0xFF, 0x64, 0x00, 0, 0, 0}}};
    std::map<std::string, std::deque<std::vector<std::uint8_t>>> queued; // by registry ID
    std::map<std::string, std::uint32_t> faults;
    std::vector<std::string> log;
    int openConnections = 0;

private:
    struct Connection : HIDConnection {
        Connection(FakeHIDSystem& system, std::string id)
            : system(system)
            , id(std::move(id))
        {
            ++system.openConnections;
        }
        ~Connection() override
        {
            --system.openConnections;
            system.log.push_back("close " + id);
        }

        std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) override
        {
            std::string entry = "set " + id;
            for (const std::uint8_t byte : report) {
                entry += {' ', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
            }
            request = report[1];
            return system.call(entry);
        }

        HIDResult<std::vector<std::uint8_t>> getFeatureReport() override
        {
            const std::uint32_t status = system.call("get " + id);
            auto& queue = system.queued[id];
            if (queue.empty()) {
                return {status, system.answers[request]};
            }
            std::vector<std::uint8_t> answer = std::move(queue.front());
            queue.pop_front();
            return {status, answer};
        }

        FakeHIDSystem& system;
        const std::string id;
        std::uint8_t request = 0;
    };

    std::uint32_t call(const std::string& entry)
    {
        log.push_back(entry);
        return faults.contains(entry) ? faults.at(entry) : 0;
    }
};

} // namespace kavrin
