#pragma once

#include <string>

#include "simulation/experiment_state.h"

namespace mokopera {

// Multiplies TheoryProduct (1 on entry) by 0.9 N times in single precision and returns
// 1 − TheoryProduct in the pattern "0.0000000": "0.8784233" for N = 20. The rounding to single
// precision after every multiplication is the program's own: N = 10 shows 0.6513215, where the
// exact 1 − 0.9^10 would read 0.6513216.
[[nodiscard]] std::string ShowTheory(ExperimentState& state);

}  // namespace mokopera
