#pragma once

#include <span>

#include "simulation/experiment_state.h"

namespace mokopera {

struct CanvasPoint {
    float x;
    float y;
};

// Somewhere to set single points in canvas units (500 × 500, y downwards).
class PointCanvas {
public:
    virtual ~PointCanvas() = default;
    virtual void SetPoint(float x, float y) = 0;
    // Each of `points` in order, as SetPoint sets it; a canvas that needs no points may skip them.
    virtual void SetPoints(std::span<const CanvasPoint> points);
};

// Number of points one target sweep sets.
inline constexpr int kTargetPointCount = 6284;

// Draws the target ring of radius 20 around (250, 250) point by point, without clearing:
// LoopCounter runs from 0 in single-precision steps of 0.001 up to 6.283184, the first point
// at (270, 250), then through (250, 270) at a quarter turn. The sweep's points are the same every
// time: they are worked out once and handed to the canvas in one call.
void DrawTarget(ExperimentState& state, PointCanvas& canvas);

}  // namespace mokopera
