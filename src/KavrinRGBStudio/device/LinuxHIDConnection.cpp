#include "KavrinRGBStudio/device/LinuxHIDConnection.hpp"

#include "KavrinRGBStudio/device/TransportError.hpp"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace kavrin {

namespace {

// Report-ID byte plus the 8 bytes of the report.
constexpr std::size_t framedLength = 9;
using FramedReport = std::array<std::uint8_t, framedLength>;

} // namespace

int systemFeatureIoctl(int descriptor, unsigned long request, std::uint8_t* buffer)
{
    return ::ioctl(descriptor, request, buffer);
}

int LinuxHIDConnection::ioctlRetryingInterrupts(unsigned long request, std::uint8_t* buffer)
{
    int result = 0;
    do {
        result = ioctl_(node_.get(), request, buffer);
    } while (result < 0 && errno == EINTR);
    return result;
}

std::uint32_t ioStatusFromErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return IOStatus::notPermitted;
    case EBUSY:
        return IOStatus::exclusiveAccess;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return IOStatus::noDevice;
    case ETIMEDOUT:
        return IOStatus::timeout;
    default:
        return IOStatus::general;
    }
}

std::uint32_t LinuxHIDConnection::setFeatureReport(std::span<const std::uint8_t, 8> report)
{
    FramedReport buffer {};
    std::ranges::copy(report, buffer.begin() + 1);
    const int result = ioctlRetryingInterrupts(HIDIOCSFEATURE(framedLength), buffer.data());
    if (result < 0) {
        return ioStatusFromErrno(errno);
    }
    // A short transfer means the dock did not get the whole command.
    return result == static_cast<int>(framedLength) ? 0 : IOStatus::general;
}

HIDResult<std::vector<std::uint8_t>> LinuxHIDConnection::getFeatureReport()
{
    FramedReport buffer {};
    const int result = ioctlRetryingInterrupts(HIDIOCGFEATURE(framedLength), buffer.data());
    if (result < 0) {
        return {ioStatusFromErrno(errno), {}};
    }
    // The kernel counts the report-ID byte it leaves in front of the answer.
    const auto end = buffer.begin() + std::clamp<std::ptrdiff_t>(result, 1, framedLength);
    return {0, std::vector<std::uint8_t>(buffer.begin() + 1, end)};
}

} // namespace kavrin
