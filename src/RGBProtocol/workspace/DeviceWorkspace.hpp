#pragma once

#include "RGBProtocol/lighting/LightingValues.hpp"
#include "RGBProtocol/workspace/DockSession.hpp"
#include "RGBProtocol/workspace/OperationToken.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

// The editing sessions of the connected docks, keyed by registry ID, and the selected dock.
// One operation at a time per dock: begin hands out a token and only finish with that token
// settles the dock. Not shared between threads; its owner calls everything on one thread.
class DeviceWorkspace {
public:
    const std::map<std::uint64_t, DockSession>& sessions() const { return sessions_; }
    std::optional<std::uint64_t> selectedID() const { return selectedID_; }

    // Follows a rescan: sessions of docks still listed stay exactly as they were, busy or not.
    void reconcile(const std::vector<std::uint64_t>& connectedIDs);
    // An ID without a session leaves the selection as it was.
    void select(std::optional<std::uint64_t> id);
    // Runs the mutation on a copy of an idle session; missing and busy sessions are left alone.
    void edit(std::optional<std::uint64_t> id, const std::function<void(DockSession&)>& mutation);
    // The token of the new operation, or nothing when the session is missing or busy.
    std::optional<OperationToken> begin(std::uint64_t id, std::string message);
    // False, changing nothing, unless the token is the one of the operation in flight.
    bool finish(std::uint64_t id, const OperationToken& token, const std::optional<LightingSettings>& actual,
                std::string message, bool isError);

    std::optional<DockSession> selectedSession() const;
    std::size_t pendingCount() const;

private:
    std::map<std::uint64_t, DockSession> sessions_;
    std::optional<std::uint64_t> selectedID_;
};

} // namespace kavrin
