#pragma once

#include "RGBProtocol/UserFacingError.hpp"

#include <string>

namespace kavrin {

// A group action's failure, already worded for the user: the description is the message itself.
class GroupLightingError : public UserFacingError {
public:
    explicit GroupLightingError(const std::string& message)
        : UserFacingError(message)
    {
    }

    std::string message() const { return errorDescription(); }
};

} // namespace kavrin
