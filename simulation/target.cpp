#include "simulation/target.h"

#include <cmath>

namespace mokopera {

void DrawTarget(ExperimentState& state, PointCanvas& canvas)
{
    constexpr float kBound = static_cast<float>(6.283184);
    constexpr float kStep = 0.001F;
    constexpr double kCentre = 250.0;
    constexpr double kRadius = 20.0;
    for (state.LoopCounter = 0.0F; state.LoopCounter <= kBound; state.LoopCounter += kStep) {
        const double angle = state.LoopCounter;
        canvas.SetPoint(static_cast<float>(kRadius * std::cos(angle) + kCentre),
                        static_cast<float>(kRadius * std::sin(angle) + kCentre));
    }
}

}  // namespace mokopera
