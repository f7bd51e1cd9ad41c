#pragma once

#include "RGBProtocol/lighting/ProtocolError.hpp"

#include <gtest/gtest.h>

namespace kavrin {

template <typename Operation> void expectProtocolError(ProtocolError::Kind kind, Operation operation)
{
    try {
        operation();
        ADD_FAILURE() << "no error thrown";
    } catch (const ProtocolError& error) {
        EXPECT_EQ(error.kind(), kind);
    }
}

} // namespace kavrin
