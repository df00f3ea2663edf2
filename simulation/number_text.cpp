#include "simulation/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace mokopera {

std::string FormatCounter(std::int16_t value)
{
    return std::to_string(value);
}

namespace {

__extension__ typedef unsigned __int128 Wide;  // room for a 53-bit mantissa times 10^22

constexpr std::uint64_t kScale = 10'000'000;  // seven decimals
constexpr std::uint64_t kFifteenDigits = 1'000'000'000'000'000;

constexpr Wide PowerOfTen(int exponent)
{
    Wide power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

// round_half_even(mantissa × 10^k / 2^shift), exactly; the product must fit 128 bits.
std::uint64_t RoundedQuotient(std::uint64_t mantissa, int k, int shift)
{
    const Wide scaled = Wide{mantissa} * PowerOfTen(k);
    const Wide whole = scaled >> shift;
    const Wide rest = scaled & ((Wide{1} << shift) - 1);
    const Wide half = Wide{1} << (shift - 1);
    const bool up = rest > half || (rest == half && (whole & 1) != 0);
    return static_cast<std::uint64_t>(whole) + (up ? 1 : 0);
}

// round_half_up(magnitude × 10^7), 4e-8 <= magnitude < 10^11, from the 15 significant digits of
// `magnitude` (rounded as printf rounds them), as a student dividing by hand gets it: 0.87578125,
// stored as a double a hair below, still rounds up.
std::uint64_t ScaledHalfUp(double magnitude)
{
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // magnitude = mantissa / 2^shift, 17 <= shift <= 78 here
    // The 15 digits: digits = magnitude × 10^k, rounded, with 10^14 <= digits < 10^15.
    int k = 14 - static_cast<int>(std::floor(std::log10(magnitude)));
    std::uint64_t digits = RoundedQuotient(mantissa, k, shift);
    if (digits >= kFifteenDigits)
        digits = RoundedQuotient(mantissa, --k, shift);
    else if (digits < kFifteenDigits / 10)
        digits = RoundedQuotient(mantissa, ++k, shift);
    // magnitude × 10^7 = digits × 10^(7 − k): cut k − 7 digits, a half rounded up.
    if (k <= 7)
        return digits * static_cast<std::uint64_t>(PowerOfTen(7 - k));
    const auto unit = static_cast<std::uint64_t>(PowerOfTen(k - 7));
    return digits / unit + (digits % unit >= unit / 2 ? 1 : 0);
}

}  // namespace

std::string FormatRate(long long successes, long long experiments)
{
    return FormatProbability(static_cast<double>(successes) / static_cast<double>(experiments));
}

std::string FormatProbability(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e11) {
        // Never reached by the program's ratios; still give a defined text.
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.7f", value);
        return buffer;
    }
    // Below 4e-8 nothing rounds to the seventh decimal, whatever its 15 digits.
    const std::uint64_t scaled = std::fabs(value) < 4e-8 ? 0 : ScaledHalfUp(std::fabs(value));
    std::string text = std::to_string(scaled / kScale);
    if (value < 0 && scaled != 0)
        text.insert(text.begin(), '-');
    char decimals[8] = {'.'};
    std::uint64_t rest = scaled % kScale;
    for (int place = 7; place >= 1; --place, rest /= 10)
        decimals[place] = static_cast<char>('0' + rest % 10);
    return text.append(decimals, 8);
}

}  // namespace mokopera
