#include "simulation/shot_step.h"

#include <cmath>

#include "simulation/checked_counter.h"
#include "simulation/number_text.h"
#include "simulation/texts.h"

namespace mokopera {
namespace {

constexpr int kHitRadius = 20;
constexpr double kFullTurn = 6.283184;  // slightly less than 2π, as the program has always used
constexpr double kCentre = 250.0;

// Step 1: the next shot of this experiment, or shot 1 of a new one on a fresh target.
bool AdvanceShot(ExperimentState& state, ShotEffects& effects)
{
    if (state.ShotNumber < state.ShotsPerExperiment) {
        const auto next = CheckedAdd(state.ShotNumber, 1);
        if (!next)
            return false;
        state.ShotNumber = *next;
        return true;
    }
    effects.SetLabelText(ValueLabel::Label9, "");
    state.Hits = 0;
    state.ShotNumber = 1;
    effects.ClearCanvas();
    effects.DrawTarget();
    return true;
}

// Step 6: the verdict at the experiment's last shot. Colour before text, count before cue. An
// experiment that the 16-bit count of experiments cannot take is not given a verdict at all, so
// that the labels never show more verdicts than experiments.
bool GiveVerdict(ExperimentState& state, ShotEffects& effects)
{
    const auto experiments = CheckedAdd(state.Successes, state.Failures);
    if (!experiments || !CheckedAdd(*experiments, 1))
        return false;
    const bool success = state.Hits > 0;
    effects.SetVerdictColour(success ? ConsoleColour::LightBlue : ConsoleColour::LightRed);
    effects.SetLabelText(ValueLabel::Label9, success ? texts::kSuccess : texts::kFailure);
    std::int16_t& counter = success ? state.Successes : state.Failures;
    counter = static_cast<std::int16_t>(counter + 1);  // cannot pass 32767: the sum above did not
    effects.PlayVerdictCue(success ? texts::kSuccessCue : texts::kFailureCue);
    return true;
}

// Step 7: hits, successes, experiments and, once there is a finished experiment, the ratio.
bool ShowStatistics(const ExperimentState& state, ShotEffects& effects)
{
    effects.SetLabelText(ValueLabel::Label2, FormatCounter(state.Hits));
    effects.SetLabelText(ValueLabel::Label13, FormatCounter(state.Successes));
    const auto experiments = CheckedAdd(state.Successes, state.Failures);
    if (!experiments)
        return false;
    effects.SetLabelText(ValueLabel::Label11, FormatCounter(*experiments));
    if (*experiments > 0) {
        const double ratio = static_cast<double>(state.Successes) / static_cast<double>(*experiments);
        effects.SetLabelText(ValueLabel::Label5, FormatProbability(ratio));
    }
    return true;
}

}  // namespace

StepResult ShotStep(ExperimentState& state, RandomSource& random, Clock& clock, ShotEffects& effects)
{
    if (!AdvanceShot(state, effects))
        return StepResult::CounterOverflow;
    effects.SetLabelText(ValueLabel::Label4, FormatCounter(state.ShotNumber));

    random.Reseed(clock.SecondsSinceMidnight());
    const double r = random.Next();
    state.Distance = static_cast<std::int16_t>(std::floor(r * 200.0 + 1.0));  // 1..200
    if (state.Distance <= kHitRadius) {
        const auto hits = CheckedAdd(state.Hits, 1);
        if (!hits)
            return StepResult::CounterOverflow;
        state.Hits = *hits;
    }

    if (state.ShotNumber == state.ShotsPerExperiment && !GiveVerdict(state, effects))
        return StepResult::CounterOverflow;
    if (!ShowStatistics(state, effects))
        return StepResult::CounterOverflow;

    state.Angle = static_cast<float>(static_cast<double>(random.Next()) * kFullTurn);
    const double distance = state.Distance;
    state.MarkX = static_cast<float>(distance * std::cos(static_cast<double>(state.Angle)) + kCentre);
    state.MarkY = static_cast<float>(distance * std::sin(static_cast<double>(state.Angle)) + kCentre);
    effects.DrawMark(state.MarkX, state.MarkY,
                     state.Distance > kHitRadius ? ConsoleColour::LightRed : ConsoleColour::LightBlue);
    return StepResult::Completed;
}

}  // namespace mokopera
