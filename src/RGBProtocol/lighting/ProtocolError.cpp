#include "RGBProtocol/lighting/ProtocolError.hpp"

namespace kavrin {

namespace {

const char* descriptionOf(ProtocolError::Kind kind)
{
    switch (kind) {
    case ProtocolError::Kind::invalidColor:
        return "颜色必须是六位十六进制 RGB，例如 FF6400。";
    case ProtocolError::Kind::invalidSettings:
        return "灯光参数超出支持范围。";
    case ProtocolError::Kind::invalidResponse:
        return "设备返回的灯光数据格式不匹配，未将其作为当前设置。";
    case ProtocolError::Kind::invalidDescriptor:
        return "HID 描述符不符合已知的灯光接口格式。";
    case ProtocolError::Kind::readbackMismatch:
        return "指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。";
    }
    return "";
}

} // namespace

ProtocolError::ProtocolError(Kind kind)
    : UserFacingError(descriptionOf(kind))
    , kind_(kind)
{
}

} // namespace kavrin
