#pragma once

#include <cstdint>
#include <string>

namespace mokopera {

// The record of the running simulation, owned by the main window. The field order and the
// narrow types (16-bit counters, single-precision floats) are deliberate: the program's figures
// depend on single-precision rounding and on the 16-bit limit of the counters.
struct ExperimentState {
    std::int16_t Distance = 0;            // distance of the last shot from the centre, 1..200 units
    float Angle = 0.0F;                   // direction of the last shot in radians, [0, 6.283184)
    float MarkX = 0.0F;                   // canvas x of the last shot's mark
    float MarkY = 0.0F;                   // canvas y of the last shot's mark
    float LoopCounter = 0.0F;             // scratch counter of the target sweep and the theory loop
    std::int16_t Hits = 0;                // hits in the current experiment
    std::int16_t ShotNumber = 0;          // current shot within the experiment; 0 before the first
    std::int16_t Answer = 0;              // last Yes/No reply: 6 = Yes, 7 = No
    std::int16_t Successes = 0;           // finished experiments with at least one hit
    std::int16_t Failures = 0;            // finished experiments without a hit
    float TheoryProduct = 1.0F;           // running product 0.9^k of the theory loop
    std::string EnteredText;              // last text returned by the entry box (UTF-8)
    std::int16_t ShotsPerExperiment = 0;  // N, 5..50 once an entry has been accepted
};

// The values Answer takes: the classic message box's replies.
inline constexpr std::int16_t kAnswerYes = 6;
inline constexpr std::int16_t kAnswerNo = 7;

// The main window's load sequence: the counters and the theory product into their starting
// state; N, the entered text and the last answer are left alone. Reset does the same in its
// fifth step.
inline void LoadSequence(ExperimentState& state)
{
    state.TheoryProduct = 1.0F;
    state.Hits = 0;
    state.ShotNumber = 0;
    state.Successes = 0;
    state.Failures = 0;
}

}  // namespace mokopera
