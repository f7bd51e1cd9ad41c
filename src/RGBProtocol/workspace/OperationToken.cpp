#include "RGBProtocol/workspace/OperationToken.hpp"

#include <random>

namespace kavrin {

namespace {

std::mt19937_64& generator()
{
    // One engine per thread needs no lock; a full seed sequence gives it more than one word of entropy.
    thread_local std::mt19937_64 engine = [] {
        std::random_device device;
        std::seed_seq seed {device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    return engine;
}

} // namespace

OperationToken OperationToken::random()
{
    auto& engine = generator();
    const std::uint64_t high = engine();
    return OperationToken(high, engine());
}

} // namespace kavrin
