#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace mokopera {

// Adds two 16-bit counters without wrapping: the sum, or nothing when it leaves the int16 range.
[[nodiscard]] constexpr std::optional<std::int16_t> CheckedAdd(std::int16_t a, std::int16_t b)
{
    const int sum = int{a} + int{b};
    if (sum > std::numeric_limits<std::int16_t>::max() || sum < std::numeric_limits<std::int16_t>::min())
        return std::nullopt;
    return static_cast<std::int16_t>(sum);
}

}  // namespace mokopera
