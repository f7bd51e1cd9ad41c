#pragma once

#include "KavrinRGBStudio/device/FileDescriptor.hpp"
#include "KavrinRGBStudio/device/HIDSystem.hpp"

namespace kavrin {

// The IOStatus value that carries the right hint for an errno value.
std::uint32_t ioStatusFromErrno(int error);

// An open hidraw node. The node frames feature reports with a leading report-ID byte,
// which is 0 for the docks' unnumbered reports.
class LinuxHIDConnection : public HIDConnection {
public:
    explicit LinuxHIDConnection(FileDescriptor node)
        : node_(std::move(node))
    {
    }

    std::uint32_t setFeatureReport(std::span<const std::uint8_t, 8> report) override;
    HIDResult<std::vector<std::uint8_t>> getFeatureReport() override;

private:
    FileDescriptor node_;
};

} // namespace kavrin
