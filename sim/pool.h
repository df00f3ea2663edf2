#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/report.h"
#include "classroom/result_code.h"

// The class's own results, pooled from the codes the students send: each series once, and for
// each N the pooled total beside the theory. The teacher's page and mokopera-sim --pool share it.
namespace mokopera::sim {

class Pool {
public:
    // Adds the series of every accepted code in `text`. The same code twice counts once; a code
    // with the id of a series already in the pool replaces it when it has more experiments (the
    // student went on). Returns every candidate read, in order, accepted or not, and the series
    // that are new or grew, as they are now.
    struct Added {
        std::vector<codes::Candidate> read;
        std::vector<codes::Series> changed;
    };
    Added Add(std::string_view text);

    // The series, by N, then by id.
    [[nodiscard]] std::vector<codes::Series> Series() const;

private:
    std::map<std::string, codes::Series> byId_;
};

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
