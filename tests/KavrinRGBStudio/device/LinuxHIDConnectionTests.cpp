#include "KavrinRGBStudio/device/LinuxHIDConnection.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gtest/gtest.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <deque>

namespace kavrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The kernel's side of the feature-report ioctls, scripted: each call takes the next result, and
// a get answers with `answer` (report-ID byte included).
struct ScriptedKernel {
    struct Result {
        int value; // what the ioctl returns
        int error; // errno when value is negative
    };

    int operator()(int, unsigned long request, std::uint8_t* buffer)
    {
        requests.push_back(request);
        sent.emplace_back(buffer, buffer + 9);
        const Result result = results.empty() ? Result {9, 0} : results.front();
        if (!results.empty()) {
            results.pop_front();
        }
        if (request == HIDIOCGFEATURE(9)) {
            std::copy(answer.begin(), answer.end(), buffer);
        }
        errno = result.error;
        return result.value;
    }

    std::deque<Result> results;
    Bytes answer;
    std::vector<unsigned long> requests;
    std::vector<Bytes> sent;
};

struct Exchange {
    std::uint32_t setStatus;
    HIDResult<Bytes> got;
};

Exchange exchange(ScriptedKernel& kernel)
{
    LinuxHIDConnection connection(FileDescriptor(), std::ref(kernel));
    const Exchange done {connection.setFeatureReport(std::array<std::uint8_t, 8> {0xCB, 1, 2, 3, 4, 5, 6, 7}),
                         connection.getFeatureReport()};
    return done;
}

TEST(LinuxHIDConnection, FramesReportsWithReportIDZeroAndStripsItFromAnswers)
{
    ScriptedKernel kernel;
    kernel.answer = {0x00, 0x00, 0xCB, 0x02, 0x05, 0x07, 0x00, 0x00, 0x00};
    kernel.results = {{-1, EINTR}, {9, 0}, {-1, EINTR}, {9, 0}}; // interrupted calls are made again
    const Exchange done = exchange(kernel);
    EXPECT_EQ(done.setStatus, 0u);
    EXPECT_EQ(done.got.status, 0u);
    EXPECT_EQ(done.got.value, (Bytes {0x00, 0xCB, 0x02, 0x05, 0x07, 0x00, 0x00, 0x00}));
    EXPECT_EQ(kernel.sent.at(1), (Bytes {0x00, 0xCB, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(
        kernel.requests,
        (std::vector<unsigned long> {HIDIOCSFEATURE(9), HIDIOCSFEATURE(9), HIDIOCGFEATURE(9), HIDIOCGFEATURE(9)}));
}

TEST(LinuxHIDConnection, MapsErrnoAndShortTransfersToStatuses)
{
    const struct {
        ScriptedKernel::Result set, get;
        std::uint32_t setStatus, getStatus;
        std::size_t answerLength;
    } cases[] = {
        {{-1, EBUSY}, {-1, EACCES}, IOStatus::exclusiveAccess, IOStatus::notPermitted, 0},
        {{-1, EPERM}, {-1, ENODEV}, IOStatus::notPermitted, IOStatus::noDevice, 0},
        {{-1, ETIMEDOUT}, {-1, EIO}, IOStatus::timeout, IOStatus::general, 0},
        // The dock got only part of the command; a short answer keeps its length for the caller to refuse.
        {{8, 0}, {5, 0}, IOStatus::general, 0, 4},
        {{10, 0}, {0, 0}, IOStatus::general, 0, 0},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.setStatus);
        ScriptedKernel kernel;
        kernel.answer = Bytes(9, 0xAA);
        kernel.results = {testCase.set, testCase.get};
        const Exchange done = exchange(kernel);
        EXPECT_EQ(done.setStatus, testCase.setStatus);
        EXPECT_EQ(done.got.status, testCase.getStatus);
        EXPECT_EQ(done.got.value, Bytes(testCase.answerLength, 0xAA));
    }
}

} // namespace
} // namespace kavrin
