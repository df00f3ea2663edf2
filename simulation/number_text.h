#pragma once

#include <cstdint>
#include <string>

namespace mokopera {

// A counter as its plain decimal digits ("0", "17").
[[nodiscard]] std::string FormatCounter(std::int16_t value);

// A value in the pattern "0.0000000": at least one digit before the point, exactly seven after,
// rounded to the nearest with a half rounded up. The rounding works on the value's 15
// significant decimal digits, so a decimal half stored a hair below it in binary still rounds
// up: 0.87890625 gives "0.8789063", and 1121/1280 = 0.87578125 gives "0.8757813".
[[nodiscard]] std::string FormatProbability(double value);

// A success rate as the window shows it: `successes` / `experiments` (at least one) in that pattern.
[[nodiscard]] std::string FormatRate(long long successes, long long experiments);

}  // namespace mokopera
