#include "core/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace mokopera {

std::string FormatCounter(std::int16_t value)
{
    return std::to_string(value);
}

namespace {

constexpr std::uint64_t kScale = 10'000'000;  // seven decimals

std::uint64_t PowerOfTen(int exponent)
{
    std::uint64_t power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

// round_half_up(magnitude × 10^7) from the 15 significant digits of `magnitude` (< 10^11), as a
// student dividing by hand gets it: 0.87578125, stored as a double a hair below, still rounds up.
std::uint64_t ScaledHalfUp(double magnitude)
{
    // "d.dddddddddddddde±x": printf rounds the binary value exactly to 15 digits. Only the digits
    // and the exponent are read, so whatever decimal point the locale uses does not matter.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    std::uint64_t digits = 0;  // the 15 digits as one whole number
    const char* at = buffer;
    for (; *at != 'e' && *at != '\0'; ++at)
        if (*at >= '0' && *at <= '9')
            digits = digits * 10 + std::uint64_t(*at - '0');
    const int exponent = *at == 'e' ? std::atoi(at + 1) : 0;
    // magnitude = digits × 10^(exponent − 14), so magnitude × 10^7 = digits × 10^(exponent − 7).
    const int shift = exponent - 7;
    if (shift >= 0)
        return digits * PowerOfTen(shift);
    if (shift < -15)
        return 0;  // below half a unit of the seventh decimal
    const std::uint64_t unit = PowerOfTen(-shift);
    return digits / unit + (digits % unit >= unit / 2 ? 1 : 0);
}

}  // namespace

std::string FormatProbability(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e11) {
        // Never reached by the program's ratios; still give a defined text.
        char buffer[400];
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
