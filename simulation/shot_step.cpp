#include "simulation/shot_step.h"

#include <cmath>

#include "simulation/checked_counter.h"
#include "simulation/number_text.h"
#include "simulation/rules.h"
#include "simulation/target.h"
#include "simulation/texts.h"

namespace mokopera {
namespace {

// The next shot of this experiment, or shot 1 of a new one on a fresh target.
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
    DrawTarget(state, effects);
    effects.TargetDrawn();
    return true;
}

// The verdict at the experiment's last shot, or nullptr when the count of experiments cannot take
// it. Colour before text, count before cue. An experiment that the 16-bit count of experiments
// cannot take is not given a verdict at all, so that the labels never show more verdicts than
// experiments.
const char* GiveVerdict(ExperimentState& state, ShotEffects& effects, VerdictCue& cue)
{
    const auto experiments = CheckedAdd(state.Successes, state.Failures);
    if (!experiments || !CheckedAdd(*experiments, 1))
        return nullptr;
    const bool success = state.Hits > 0;
    const char* verdict = success ? texts::kSuccess : texts::kFailure;
    effects.SetVerdictColour(success ? ConsoleColour::LightBlue : ConsoleColour::LightRed);
    effects.SetLabelText(ValueLabel::Label9, verdict);
    std::int16_t& counter = success ? state.Successes : state.Failures;
    counter = static_cast<std::int16_t>(counter + 1);  // cannot pass 32767: the sum above did not
    cue.PlayVerdictCue(success ? texts::kSuccessCue : texts::kFailureCue);
    return verdict;
}

// Hits, successes, experiments and, once there is a finished experiment, the ratio.
bool ShowStatistics(const ExperimentState& state, ShotEffects& effects)
{
    effects.SetLabelText(kHitsLabel, FormatCounter(state.Hits));
    effects.SetLabelText(ValueLabel::Label13, FormatCounter(state.Successes));
    if (!CheckedAdd(state.Successes, state.Failures))
        return false;
    effects.SetLabelText(ValueLabel::Label11, ExperimentsText(state));
    if (state.Successes + state.Failures > 0)
        effects.SetLabelText(ValueLabel::Label5, RateText(state));
    return true;
}

}  // namespace

std::string ExperimentsText(const ExperimentState& state)
{
    return FormatCounter(static_cast<std::int16_t>(state.Successes + state.Failures));
}

std::string RateText(const ExperimentState& state)
{
    return FormatRate(state.Successes, state.Successes + state.Failures);
}

ShotResult ShotStep(ExperimentState& state, RandomSource& random, Clock& clock, ShotEffects& effects, VerdictCue& cue)
{
    if (!AdvanceShot(state, effects))
        return {StepResult::CounterOverflow};
    effects.SetLabelText(kShotNumberLabel, FormatCounter(state.ShotNumber));

    random.Reseed(clock.SecondsSinceMidnight());
    const double r = random.Next();
    state.Distance = static_cast<std::int16_t>(std::floor(r * rules::kFarthest + 1.0));  // 1..200
    if (state.Distance <= rules::kHitRadius) {
        const auto hits = CheckedAdd(state.Hits, 1);
        if (!hits)
            return {StepResult::CounterOverflow};
        state.Hits = *hits;
    }

    const char* verdict = nullptr;
    if (state.ShotNumber == state.ShotsPerExperiment) {
        verdict = GiveVerdict(state, effects, cue);
        if (!verdict)
            return {StepResult::CounterOverflow};
    }
    if (!ShowStatistics(state, effects))
        return {StepResult::CounterOverflow};

    state.Angle = static_cast<float>(static_cast<double>(random.Next()) * rules::kFullTurn);
    const double distance = state.Distance;
    state.MarkX = static_cast<float>(distance * std::cos(static_cast<double>(state.Angle)) + rules::kCentre);
    state.MarkY = static_cast<float>(distance * std::sin(static_cast<double>(state.Angle)) + rules::kCentre);
    effects.DrawMark(state.MarkX, state.MarkY,
                     state.Distance > rules::kHitRadius ? ConsoleColour::LightRed : ConsoleColour::LightBlue);
    return {StepResult::Completed, verdict};
}

}  // namespace mokopera
