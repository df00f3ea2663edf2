#pragma once

#include <cstdint>
#include <limits>

// The experiment's rules in numbers, each in one place: the window's shot step and target, the
// batch's fast loop, the entry box, mokopera-sim's options and the web page take them from here.
namespace mokopera::rules {

// Shots per experiment, N: 5 to 50.
inline constexpr int kFewestShots = 5;
inline constexpr int kMostShots = 50;

// The counters are 16-bit, as they always were: a series holds at most 32767 finished
// experiments, and a result code carries no more.
inline constexpr int kMostExperiments = std::numeric_limits<std::int16_t>::max();

// A shot lands at a whole distance of 1 to 200 units from the target's centre; 20 or less is a
// hit, one shot in ten.
inline constexpr int kFarthest = 200;
inline constexpr int kHitRadius = 20;

// The chance that a shot misses, 1 − 20/200: the theory's 1 − 0.9^N.
inline constexpr double kMissChance = 0.9;

// The target on its canvas of 500 × 500 units: its centre, and the turn the angles are drawn
// from, slightly less than 2π, as the program has always used.
inline constexpr double kCentre = 250.0;
inline constexpr double kFullTurn = 6.283184;

// Automatic firing: one shot every 100 ms, on the window's timer and on a batch's simulated clock.
inline constexpr int kTimerIntervalMs = 100;
inline constexpr double kSecondsPerShot = kTimerIntervalMs / 1000.0;

}  // namespace mokopera::rules
