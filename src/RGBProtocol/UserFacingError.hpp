#pragma once

#include <stdexcept>
#include <string>

namespace kavrin {

// Base of every error the system throws on purpose. The description is the Simplified Chinese
// text shown to the user unchanged, so callers catch this one type and display it.
class UserFacingError : public std::runtime_error {
public:
    explicit UserFacingError(const std::string& description)
        : std::runtime_error(description)
    {
    }

    std::string errorDescription() const { return what(); }
};

} // namespace kavrin
