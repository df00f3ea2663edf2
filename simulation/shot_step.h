#pragma once

#include "simulation/clock.h"
#include "simulation/effects.h"
#include "simulation/experiment_state.h"
#include "simulation/random_source.h"

namespace mokopera {

// How a shot ended. CounterOverflow means a 16-bit counter would have passed 32767: the step
// stopped at that point, every field keeps what it held before the failing addition, and no
// later effect of the step was asked for. It is the caller's to tell the user. The count of
// experiments is checked before a verdict is given: the experiment that would be the 32768th
// gets no verdict, and the successes and failures shown still add up to the experiments shown.
enum class StepResult { Completed, CounterOverflow };

// What a shot did: how it ended, and the verdict it gave ("成功" or "失敗"), when it ended the
// experiment.
struct ShotResult {
    StepResult result = StepResult::Completed;
    const char* verdict = nullptr;
};

// Fires one shot on `state`: advances or starts an experiment (a fresh target), reseeds `random`
// from `clock`, draws distance and angle, gives the verdict at the experiment's last shot (with
// its cue on `cue`), shows the statistics and draws the mark, asking `effects` for each visible
// change in that order.
[[nodiscard]] ShotResult ShotStep(ExperimentState& state, RandomSource& random, Clock& clock, ShotEffects& effects,
                                  VerdictCue& cue);

// The experiments and the success rate as Label11 and Label5 show them after a verdict.
[[nodiscard]] std::string ExperimentsText(const ExperimentState& state);
[[nodiscard]] std::string RateText(const ExperimentState& state);

}  // namespace mokopera
