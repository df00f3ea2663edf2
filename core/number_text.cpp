#include "core/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace mokopera {

std::string FormatCounter(std::int16_t value)
{
    return std::to_string(value);
}

namespace {

__extension__ typedef unsigned __int128 Wide;  // room for a 53-bit mantissa times 10^7

constexpr std::uint64_t kScale = 10'000'000;  // seven decimals

// round_half_up(|value| * 10^7) for 0 <= |value| < 2^30, exactly.
std::uint64_t ScaledHalfUp(double magnitude)
{
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // magnitude = mantissa / 2^shift, shift >= 23 here
    if (shift >= 127)
        return 0;  // far below half a unit of the seventh decimal
    const Wide scaled = Wide{mantissa} * kScale;
    const Wide one = Wide{1} << shift;
    const Wide whole = scaled >> shift;
    const Wide rest = scaled & (one - 1);
    return static_cast<std::uint64_t>(whole) + (rest >= (one >> 1) ? 1 : 0);
}

}  // namespace

std::string FormatProbability(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 0x1p30) {
        // Never reached by the program's ratios; still give a defined text.
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.7f", value);
        return buffer;
    }
    const std::uint64_t scaled = ScaledHalfUp(std::fabs(value));
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%07llu", (value < 0 && scaled != 0) ? "-" : "",
                  static_cast<unsigned long long>(scaled / kScale),
                  static_cast<unsigned long long>(scaled % kScale));
    return buffer;
}

}  // namespace mokopera
