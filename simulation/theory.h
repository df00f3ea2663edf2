#pragma once

#include <string>

#include "simulation/experiment_state.h"

namespace mokopera {

// The theoretical probability that an experiment of N shots hits at least once, and its text.
struct Theory {
    float probability;
    std::string text;  // "0.0000000", as Label15 shows it
};

// Multiplies TheoryProduct (1 on entry) by 0.9 N times in single precision; the probability is
// 1 − TheoryProduct: "0.8784233" for N = 20. The rounding to single precision after every
// multiplication is the program's own: N = 10 gives 0.6513215, where the exact 1 − 0.9^10 would
// read 0.6513216.
[[nodiscard]] Theory ComputeTheory(ExperimentState& state);

}  // namespace mokopera
