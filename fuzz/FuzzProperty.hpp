#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

namespace kavrin::fuzz {

// A broken property is a finding like a crash: libFuzzer saves the input that broke it.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

inline std::span<const std::uint8_t> bytes(const std::uint8_t* data, std::size_t size)
{
    return {data, size};
}

inline std::string_view text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace kavrin::fuzz
