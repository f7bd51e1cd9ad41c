#pragma once

#include "RGBProtocol/UserFacingError.hpp"

namespace kavrin {

class ProtocolError : public UserFacingError {
public:
    enum class Kind { invalidColor, invalidSettings, invalidResponse, invalidDescriptor, readbackMismatch };

    explicit ProtocolError(Kind kind);

    Kind kind() const { return kind_; }

    static ProtocolError invalidColor() { return ProtocolError(Kind::invalidColor); }
    static ProtocolError invalidSettings() { return ProtocolError(Kind::invalidSettings); }
    static ProtocolError invalidResponse() { return ProtocolError(Kind::invalidResponse); }
    static ProtocolError invalidDescriptor() { return ProtocolError(Kind::invalidDescriptor); }
    static ProtocolError readbackMismatch() { return ProtocolError(Kind::readbackMismatch); }

private:
    Kind kind_;
};

} // namespace kavrin
