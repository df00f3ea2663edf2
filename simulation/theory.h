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

// The theory of N as a fresh experiment record computes it: what Label15 shows after an entry of N.
[[nodiscard]] Theory TheoryOf(int shots);

// 1 − 0.9^N for any N, exactly: the smooth curve the plots draw through the theory.
[[nodiscard]] double TheoryCurve(double shots);

// 何回撃てば？ The least N (5 to 50) whose theory, as the program computes it, passes `level`; 0
// when none does. 1/2, 0.9 and 0.99 give 7, 22 and 44.
[[nodiscard]] int LeastShotsAbove(double level);

// The levels the plots and the pooled view mark, as their words write them.
struct Level {
    double value;
    const char* text;
};
inline constexpr Level kMarkedLevels[] = {{0.5, "1/2"}, {0.9, "0.9"}, {0.99, "0.99"}};

// In words: "理論上の確率が 1/2 を超えるのは N = 7 から、0.9 を超えるのは N = 22 から、0.99 を超えるのは
// N = 44 からです。"
[[nodiscard]] std::string ShotsNeededText();

}  // namespace mokopera
