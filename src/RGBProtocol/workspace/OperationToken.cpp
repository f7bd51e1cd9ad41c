#include "RGBProtocol/workspace/OperationToken.hpp"

#include <array>
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

void appendHex(std::string& text, std::uint64_t word)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    for (int shift = 60; shift >= 0; shift -= 4) {
        text += digits[(word >> shift) & 0xF];
    }
}

} // namespace

OperationToken OperationToken::random()
{
    auto& engine = generator();
    const std::uint64_t high = engine();
    return OperationToken(high, engine());
}

std::string OperationToken::hex() const
{
    std::string text;
    appendHex(text, high_);
    appendHex(text, low_);
    return text;
}

} // namespace kavrin
