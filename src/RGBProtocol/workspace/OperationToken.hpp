#pragma once

#include <cstdint>

namespace kavrin {

// A random 128-bit identifier that ties a late result to the operation that produced it.
// There is no default value on purpose: every token comes from random().
class OperationToken {
public:
    static OperationToken random();

    friend bool operator==(const OperationToken&, const OperationToken&) = default;

private:
    OperationToken(std::uint64_t high, std::uint64_t low)
        : high_(high)
        , low_(low)
    {
    }

    std::uint64_t high_;
    std::uint64_t low_;
};

} // namespace kavrin
