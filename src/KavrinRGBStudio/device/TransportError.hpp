#pragma once

#include "RGBProtocol/UserFacingError.hpp"

#include <cstdint>
#include <string>

namespace kavrin {

// Status values of failed device calls; the Linux layer maps errno onto these.
namespace IOStatus {
inline constexpr std::uint32_t general = 0xE00002BC;
inline constexpr std::uint32_t noDevice = 0xE00002C0;
inline constexpr std::uint32_t exclusiveAccess = 0xE00002C5;
inline constexpr std::uint32_t timeout = 0xE00002D6;
inline constexpr std::uint32_t notPermitted = 0xE00002E2;
} // namespace IOStatus

// The operations an io error names, in the words the user sees.
namespace IOOperation {
inline constexpr const char* enumerate = "打开灯光接口";
inline constexpr const char* open = "连接所选设备";
inline constexpr const char* send = "发送灯光命令";
inline constexpr const char* receive = "读取灯光数据";
inline constexpr const char* openForColors = "连接实时灯光设备";
} // namespace IOOperation

class TransportError : public UserFacingError {
public:
    enum class Kind { io, disconnected, unsupported, noDevice, ambiguous, readbackMismatch };

    static TransportError io(const std::string& operation, std::uint32_t status);
    static TransportError disconnected() { return TransportError(Kind::disconnected); }
    static TransportError unsupported() { return TransportError(Kind::unsupported); }
    static TransportError noDevice() { return TransportError(Kind::noDevice); }
    static TransportError ambiguous() { return TransportError(Kind::ambiguous); }
    static TransportError readbackMismatch() { return TransportError(Kind::readbackMismatch); }

    Kind kind() const { return kind_; }
    // For io: the failed operation's name and its status; empty and 0 otherwise.
    const std::string& operation() const { return operation_; }
    std::uint32_t status() const { return status_; }

private:
    explicit TransportError(Kind kind);
    TransportError(const std::string& operation, std::uint32_t status);

    Kind kind_;
    std::string operation_;
    std::uint32_t status_ = 0;
};

} // namespace kavrin
