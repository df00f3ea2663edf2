#include "simulation/theory.h"

#include <cmath>

#include "simulation/number_text.h"
#include "simulation/rules.h"

namespace mokopera {

Theory ComputeTheory(ExperimentState& state)
{
    for (state.LoopCounter = 1.0F; state.LoopCounter <= state.ShotsPerExperiment; state.LoopCounter += 1.0F)
        state.TheoryProduct = static_cast<float>(static_cast<double>(state.TheoryProduct) * rules::kMissChance);
    const float theory = static_cast<float>(1.0 - static_cast<double>(state.TheoryProduct));
    return {theory, FormatProbability(theory)};
}

Theory TheoryOf(int shots)
{
    ExperimentState state;
    state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
    return ComputeTheory(state);
}

int LeastShotsAbove(double level)
{
    for (int shots = rules::kFewestShots; shots <= rules::kMostShots; ++shots) {
        if (TheoryOf(shots).probability > level)
            return shots;
    }
    return 0;
}

std::string ShotsNeededText()
{
    std::string text = "理論上の確率が";
    for (const Level& level : kMarkedLevels)
        text += std::string(&level == kMarkedLevels ? " " : "、") + level.text +
                " を超えるのは N = " + std::to_string(LeastShotsAbove(level.value)) + " から";
    return text + "です。";
}

double TheoryCurve(double shots)
{
    return 1.0 - std::pow(rules::kMissChance, shots);
}

}  // namespace mokopera
