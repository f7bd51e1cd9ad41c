#pragma once

#include "RGBProtocol/UserFacingError.hpp"

#include <string>

namespace kavrin {

// The user-facing text of the error the call throws, or "no error".
template <typename Call> std::string errorTextOf(Call&& call)
{
    try {
        call();
    } catch (const UserFacingError& error) {
        return error.errorDescription();
    }
    return "no error";
}

} // namespace kavrin
