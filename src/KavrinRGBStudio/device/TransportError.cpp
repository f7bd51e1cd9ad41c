#include "KavrinRGBStudio/device/TransportError.hpp"

#include <cstdio>

namespace kavrin {

namespace {

std::string descriptionOf(TransportError::Kind kind)
{
    switch (kind) {
    case TransportError::Kind::disconnected:
        return "所选设备已断开或身份发生变化，请重新选择。";
    case TransportError::Kind::unsupported:
        return "该接口的 HID 描述符不符合已知灯光协议，未发送调节命令。";
    case TransportError::Kind::noDevice:
        return "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。";
    case TransportError::Kind::ambiguous:
        return "检测到多台设备，请使用 --device 指定设备 ID。";
    case TransportError::Kind::readbackMismatch:
        return "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。";
    case TransportError::Kind::io:
        break;
    }
    return "";
}

std::string hintFor(std::uint32_t status)
{
    switch (status) {
    case IOStatus::notPermitted:
        return "系统拒绝访问该 USB 接口。";
    case IOStatus::exclusiveAccess:
        return "设备可能正被其他调灯软件占用。";
    default:
        return "请检查设备连接；若打开了其他调灯软件，请先退出。";
    }
}

std::string ioDescription(const std::string& operation, std::uint32_t status)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", status);
    return operation + "失败（" + code + "）。" + hintFor(status);
}

} // namespace

TransportError::TransportError(Kind kind)
    : UserFacingError(descriptionOf(kind))
    , kind_(kind)
{
}

TransportError::TransportError(const std::string& operation, std::uint32_t status)
    : UserFacingError(ioDescription(operation, status))
    , kind_(Kind::io)
    , operation_(operation)
    , status_(status)
{
}

TransportError TransportError::io(const std::string& operation, std::uint32_t status)
{
    return TransportError(operation, status);
}

} // namespace kavrin
