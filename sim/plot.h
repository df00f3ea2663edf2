#pragma once

#include <string>
#include <vector>

#include "sim/groups.h"
#include "sim/report.h"

namespace mokopera::sim {

// About how many points the convergence plot draws.
inline constexpr int kPlotPoints = 400;

// Experiment counts at which to record the running probability: about `count` points spread
// evenly on a log scale over 1..experiments, ascending and without repeats.
[[nodiscard]] std::vector<long long> LogCheckpoints(long long experiments, int count);

// The experiment counts at which a batch of N from `first` to `last` records its running
// probability for its plot: the convergence plot's checkpoints for one N; none for a range, whose
// plot needs each N's result only.
[[nodiscard]] std::vector<long long> PlotCheckpoints(int first, int last, long long experiments);

// A batch's plot: the convergence of its one N (from `running`), or every N of a range against
// the theory.
[[nodiscard]] std::string BatchPlot(const std::vector<Row>& rows, const std::vector<Checkpoint>& running);

// SVG of the running experimental probability against the number of experiments (log scale),
// with the theory as a dashed line and a band of ±2 standard errors around it.
[[nodiscard]] std::string ConvergencePlot(const Row& row, const std::vector<Checkpoint>& running);

// The class's series of one N as a funnel plot: each series a point (its experiments along a log
// axis, its rate up the side), the theory with bands of ±2 and ±3 standard errors that narrow as
// the experiments grow, the pooled point, and a ring on any series outside ±3. Its text
// alternative says the same in words.
[[nodiscard]] std::string FunnelPlot(const std::vector<Row>& series, const Row& pooled);
[[nodiscard]] std::string FunnelDescription(const std::vector<Row>& series, const Row& pooled);

// The class's predictions of one N: each series' percentage, its わからない and series asked
// nothing, and the pooled experimental rate.
struct PredictionGroup {
    int shots = 0;
    std::vector<int> percents;
    int dontKnow = 0;
    int none = 0;
    Row pooled;
};
// The predictions as dots against the theory, the pooled rate and the linear guess min(1, 0.1·N)
// (「１回 10％ずつ足した値」): for one N a strip, equal predictions side by side; for several N,
// the predictions against N over the theory's curve and the linear guess's line.
[[nodiscard]] std::string PredictionPlot(const std::vector<PredictionGroup>& groups);

// SVG of the experimental probability for each N over the theoretical curve 1 − 0.9^N.
[[nodiscard]] std::string RangePlot(const std::vector<Row>& rows);

// The plot in words, for those who cannot see it: the final experimental probability and the
// theory, for the one N or the last of a range.
[[nodiscard]] std::string PlotDescription(const std::vector<Row>& rows);

}  // namespace mokopera::sim
