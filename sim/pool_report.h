#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "classroom/pool.h"
#include "classroom/prediction.h"
#include "sim/report.h"

// The class's pool as mokopera-sim --pool and the teacher's page report it: for each N its series
// and their pooled total beside the theory, as a plain table and as CSV, a funnel plot, and the
// class's predictions against the experiment and the theory.
namespace mokopera::sim {

// The pooled table's columns: mokopera-sim's, with the series' id after N.
[[nodiscard]] std::vector<Column> PoolColumns();

// The plain table's cells of one N's series, then their total; the total's id cell holds kPooled.
inline constexpr const char* kPooled = "pooled";
[[nodiscard]] std::vector<std::vector<std::string>> PoolCells(const classroom::Pool& pool, int shots);
// The plain table's cells of one series, and of the total of one N's series.
[[nodiscard]] std::vector<std::string> SeriesCells(const codes::Series& series);
[[nodiscard]] std::vector<std::string> PooledCells(const classroom::Pool& pool, int shots);

// The pooled table, for each N its series (id, experiments, successes, rate, theory, difference
// in standard errors) and then their pooled total, as a plain table and as CSV (RFC 4180, every id
// as a formula of its text so that a spreadsheet keeps it as written), a line at a time.
void WritePoolTable(const classroom::Pool& pool, std::ostream& out);
void WritePoolCsv(const classroom::Pool& pool, std::ostream& out);
[[nodiscard]] std::string PoolCsv(const classroom::Pool& pool);

// The funnel plot of the series of `shots` (where it has none, or for 0: the N with the most
// series, the smaller on a tie), and its text alternative; empty when the pool is.
struct PoolFigure {
    std::string svg;
    std::string description;
    int shots = 0;  // the N drawn
};
[[nodiscard]] PoolFigure PoolPlot(const classroom::Pool& pool, int shots = 0);

// Each N's predictions summed up, by N; none when no series of the pool was asked for one.
[[nodiscard]] std::vector<PredictionSummary> PredictionSummaries(const classroom::Pool& pool);
// The class's predictions against the experiment and the theory (PredictionPlot): one N's strip,
// or all N's predictions against N where several N have them; its text alternative in words;
// empty when no series was asked.
[[nodiscard]] PoolFigure PredictionFigure(const classroom::Pool& pool);
// What mokopera-sim --pool --plot writes and the teacher's page downloads: the funnel plot of
// `shots` (PoolPlot), and below it the predictions' figure where there are predictions.
[[nodiscard]] std::string PoolPlotFile(const classroom::Pool& pool, int shots = 0);

}  // namespace mokopera::sim
