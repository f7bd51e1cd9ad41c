#include "KavrinRGBStudio/device/RGBDevice.hpp"
#include "KavrinRGBStudio/device/TransportError.hpp"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(TransportErrorText, IOMessageCarriesStatusAndTheHintForIt)
{
    const struct {
        std::uint32_t status;
        const char* expected;
    } cases[] = {
        {IOStatus::exclusiveAccess, "连接所选设备失败（0xE00002C5）。设备可能正被其他调灯软件占用。"},
        {IOStatus::notPermitted, "连接所选设备失败（0xE00002E2）。系统拒绝访问该 USB 接口。"},
        {IOStatus::general, "连接所选设备失败（0xE00002BC）。请检查设备连接；若打开了其他调灯软件，请先退出。"},
        {0x1, "连接所选设备失败（0x00000001）。请检查设备连接；若打开了其他调灯软件，请先退出。"},
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(TransportError::io("连接所选设备", testCase.status).errorDescription(), testCase.expected);
    }
    EXPECT_EQ(TransportError::noDevice().errorDescription(), "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。");
}

TEST(RGBDeviceJSON, RoundTripsEveryFieldAndRejectsASignedID)
{
    const RGBDevice device {0xFFFFFFFFFFFFFFFFULL, 0x0414, 0x7A61, 0x01130000, "", "USB-HID Device", 8};
    const nlohmann::json json = device;
    EXPECT_EQ(json.get<RGBDevice>(), device);
    EXPECT_EQ(json["id"].dump(), "18446744073709551615");
    auto negative = json;
    negative["id"] = -1;
    EXPECT_ANY_THROW(negative.get<RGBDevice>());
}

} // namespace
} // namespace kavrin
