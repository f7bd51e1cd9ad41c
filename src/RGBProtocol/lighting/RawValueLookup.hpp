#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace kavrin {

// The case whose rawValue() equals raw; each enumeration supplies its own rawValue overload.
template <typename Case, std::size_t count, typename Raw>
std::optional<Case> caseWithRawValue(const std::array<Case, count>& cases, const Raw& raw)
{
    const auto found = std::ranges::find_if(cases, [&raw](Case candidate) { return rawValue(candidate) == raw; });
    return found == cases.end() ? std::nullopt : std::optional<Case>(*found);
}

} // namespace kavrin
