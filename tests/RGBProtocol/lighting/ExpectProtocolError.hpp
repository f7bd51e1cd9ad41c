#pragma once

#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gmock/gmock.h>

namespace kavrin {

// For EXPECT_THAT(operation, throwsProtocolError(kind)).
inline auto throwsProtocolError(ProtocolError::Kind kind)
{
    return ::testing::Throws<ProtocolError>(::testing::Property(&ProtocolError::kind, kind));
}

} // namespace kavrin
