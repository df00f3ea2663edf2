#pragma once

#include <string>
#include <vector>

#include "classroom/result_code.h"
#include "sim/report.h"

// The class's pool as mokopera-sim --pool and the teacher's page report it: for each N its series
// and their pooled total beside the theory, as a plain table and as CSV, and a funnel plot.
namespace mokopera::sim {

// The pooled table's columns (mokopera-sim's, with the series' id after N) and its rows' cells as
// the plain table writes them: for each N its series, then their total (id "pooled").
[[nodiscard]] std::vector<Column> PoolColumns();
[[nodiscard]] std::vector<std::vector<std::string>> PoolCells(const std::vector<codes::Series>& series);

// The pooled table: for each N its series (id, experiments, successes, rate, theory, difference
// in standard errors) and then their pooled total, as a plain table and as CSV (RFC 4180).
[[nodiscard]] std::string PoolTable(const std::vector<codes::Series>& series);
[[nodiscard]] std::string PoolCsv(const std::vector<codes::Series>& series);

// The funnel plot of the series of `shots` (0: the N with the most series, the smaller on a tie),
// and its text alternative; empty when there are none.
struct PoolFigure {
    std::string svg;
    std::string description;
    int shots = 0;  // the N drawn
};
[[nodiscard]] PoolFigure PoolPlot(const std::vector<codes::Series>& series, int shots = 0);

}  // namespace mokopera::sim
