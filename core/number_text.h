#pragma once

#include <cstdint>
#include <string>

namespace mokopera {

// A counter as its plain decimal digits ("0", "17").
[[nodiscard]] std::string FormatCounter(std::int16_t value);

// A value in the pattern "0.0000000": at least one digit before the point, exactly seven after,
// rounded to the nearest with an exact half rounded up (0.87890625 gives "0.8789063"). The
// rounding works on the exact binary value, not on a printf approximation.
[[nodiscard]] std::string FormatProbability(double value);

}  // namespace mokopera
