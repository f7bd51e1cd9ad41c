#pragma once

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "KavrinRGBStudio/device/HIDSystem.hpp"

#include <functional>

namespace kavrin {

// The IOStatus value that carries the right hint for an errno value.
std::uint32_t ioStatusFromErrno(int error);

// The feature-report ioctl on an open node: ::ioctl's contract, result and errno alike.
using FeatureIoctl = std::function<int(int descriptor, unsigned long request, std::uint8_t* buffer)>;
int systemFeatureIoctl(int descriptor, unsigned long request, std::uint8_t* buffer);

// An open hidraw node. The node frames feature reports with a leading report-ID byte,
// which is 0 for the docks' unnumbered reports.
class LinuxHIDConnection : public HIDConnection {
public:
    explicit LinuxHIDConnection(FileDescriptor node, FeatureIoctl ioctl = systemFeatureIoctl)
        : node_(std::move(node))
        , ioctl_(std::move(ioctl))
    {
    }

    std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) override;
    HIDResult<std::vector<std::uint8_t>> getFeatureReport() override;

private:
    int ioctlRetryingInterrupts(unsigned long request, std::uint8_t* buffer);

    FileDescriptor node_;
    FeatureIoctl ioctl_;
};

} // namespace kavrin
