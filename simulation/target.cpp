#include "simulation/target.h"

#include <cmath>
#include <vector>

#include "simulation/rules.h"

namespace mokopera {

namespace {

// One sweep of the ring, as the program has always run it: its points, and where LoopCounter ends.
struct Sweep {
    std::vector<CanvasPoint> points;
    float end = 0.0F;
};

Sweep SweepRing()
{
    constexpr auto kBound = static_cast<float>(rules::kFullTurn);
    constexpr float kStep = 0.001F;
    constexpr double kCentre = rules::kCentre;
    constexpr double kRadius = rules::kHitRadius;
    Sweep sweep;
    sweep.points.reserve(kTargetPointCount);
    float counter = 0.0F;
    for (; counter <= kBound; counter += kStep) {
        const double angle = counter;
        sweep.points.push_back({static_cast<float>(kRadius * std::cos(angle) + kCentre),
                                static_cast<float>(kRadius * std::sin(angle) + kCentre)});
    }
    sweep.end = counter;
    return sweep;
}

}  // namespace

void PointCanvas::SetPoints(std::span<const CanvasPoint> points)
{
    for (const CanvasPoint& point : points)
        SetPoint(point.x, point.y);
}

void DrawTarget(ExperimentState& state, PointCanvas& canvas)
{
    // Every sweep sets the same points: they are worked out once, the first time.
    static const Sweep kRing = SweepRing();
    canvas.SetPoints(kRing.points);
    state.LoopCounter = kRing.end;
}

}  // namespace mokopera
