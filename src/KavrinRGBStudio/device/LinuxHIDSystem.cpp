#include "KavrinRGBStudio/device/LinuxHIDSystem.hpp"

#include "KavrinRGBStudio/device/LinuxHIDConnection.hpp"
#include "KavrinRGBStudio/device/SysfsHIDNode.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <fcntl.h>

#include <cerrno>

namespace kavrin {

namespace {

int openRetryingInterrupts(const std::filesystem::path& path, int flags)
{
    int descriptor = -1;
    do {
        descriptor = ::open(path.c_str(), flags);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

} // namespace

LinuxHIDSystem::LinuxHIDSystem(std::filesystem::path sysfsRoot, std::filesystem::path devRoot)
    : sysfsRoot_(std::move(sysfsRoot))
    , devRoot_(std::move(devRoot))
{
}

HIDResult<std::vector<HIDInterface>> LinuxHIDSystem::interfaces()
{
    std::error_code error;
    std::filesystem::directory_iterator entry(sysfsRoot_ / "class" / "hidraw", error);
    if (error == std::errc::no_such_file_or_directory) {
        return {};
    }
    std::vector<HIDInterface> found;
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (std::optional<HIDInterface> interface = readSysfsHIDNode(sysfsRoot_, entry->path().filename().string())) {
            found.push_back(std::move(*interface));
        }
    }
    if (error) {
        return {ioStatusFromErrno(error.value()), {}};
    }
    return {0, std::move(found)};
}

HIDResult<std::unique_ptr<HIDConnection>> LinuxHIDSystem::open(const HIDInterface& interface)
{
    const std::filesystem::path path = devRoot_ / interface.node;
    FileDescriptor node(openRetryingInterrupts(path, O_RDWR | O_CLOEXEC));
    const int openError = errno;
    if (!node.isOpen()) {
        return {ioStatusFromErrno(openError), nullptr};
    }
    // The kernel hands a departed dock's node number to the next device; only talk to the node
    // if it still belongs to the connection that was enumerated.
    if (sysfsHIDInstance(sysfsRoot_, interface.node) != interface.registryID) {
        return {IOStatus::noDevice, nullptr};
    }
    return {0, std::make_unique<LinuxHIDConnection>(std::move(node))};
}

} // namespace kavrin
