#include "simulation/theory.h"

#include "simulation/number_text.h"

namespace mokopera {

Theory ComputeTheory(ExperimentState& state)
{
    constexpr double kMissChance = 0.9;
    for (state.LoopCounter = 1.0F; state.LoopCounter <= state.ShotsPerExperiment; state.LoopCounter += 1.0F)
        state.TheoryProduct = static_cast<float>(static_cast<double>(state.TheoryProduct) * kMissChance);
    const float theory = static_cast<float>(1.0 - static_cast<double>(state.TheoryProduct));
    return {theory, FormatProbability(theory)};
}

}  // namespace mokopera
