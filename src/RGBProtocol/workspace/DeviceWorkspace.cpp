#include "RGBProtocol/workspace/DeviceWorkspace.hpp"

#include <algorithm>
#include <set>

namespace kavrin {

void DeviceWorkspace::reconcile(const std::vector<std::uint64_t>& connectedIDs)
{
    const std::set<std::uint64_t> connected(connectedIDs.begin(), connectedIDs.end());
    // A removed busy session takes its token with it, so a late result for it is ignored.
    std::erase_if(sessions_, [&](const auto& entry) { return !connected.contains(entry.first); });
    for (const std::uint64_t id : connected) {
        sessions_.try_emplace(id);
    }
    if (selectedID_ && !connected.contains(*selectedID_)) {
        selectedID_.reset();
    }
}

void DeviceWorkspace::select(std::optional<std::uint64_t> id)
{
    if (!id) {
        selectedID_.reset();
    } else if (sessions_.contains(*id)) {
        selectedID_ = id;
    }
}

void DeviceWorkspace::edit(std::optional<std::uint64_t> id, const std::function<void(DockSession&)>& mutation)
{
    if (!id) {
        return;
    }
    const auto found = sessions_.find(*id);
    if (found == sessions_.end() || found->second.busy()) {
        return;
    }
    // On a copy, so a mutation that throws leaves the stored session whole.
    DockSession edited = found->second;
    mutation(edited);
    // Assigning another session inside the mutation must not smuggle in its token.
    edited.operation.reset();
    found->second = std::move(edited);
}

std::optional<OperationToken> DeviceWorkspace::begin(std::uint64_t id, std::string message)
{
    const auto found = sessions_.find(id);
    if (found == sessions_.end() || found->second.busy()) {
        return std::nullopt;
    }
    DockSession& session = found->second;
    session.operation = OperationToken::random();
    session.status = std::move(message);
    session.isError = false;
    return session.operation;
}

bool DeviceWorkspace::finish(std::uint64_t id, const OperationToken& token,
                             const std::optional<LightingSettings>& actual, std::string message, bool isError)
{
    const auto found = sessions_.find(id);
    if (found == sessions_.end() || found->second.operation != token) {
        return false;
    }
    DockSession& session = found->second;
    session.operation.reset();
    // Also cleared after a failure: the dock's state is then unknown until the next read.
    session.lastRead = actual;
    if (actual) {
        session.settings = *actual;
        session.hexText = actual->color.hex();
    }
    session.status = std::move(message);
    session.isError = isError;
    return true;
}

std::optional<DockSession> DeviceWorkspace::selectedSession() const
{
    if (!selectedID_) {
        return std::nullopt;
    }
    const auto found = sessions_.find(*selectedID_);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::size_t DeviceWorkspace::pendingCount() const
{
    return static_cast<std::size_t>(
        std::ranges::count_if(sessions_, [](const auto& entry) { return entry.second.busy(); }));
}

} // namespace kavrin
