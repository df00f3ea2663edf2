#include "sim/pool_report.h"

#include <map>

#include "sim/plot.h"
#include "sim/report.h"

namespace mokopera::sim {

namespace {

// One line of the table: a series, or (id "pooled") the total of N's series.
struct PoolLine {
    std::string id;
    Row row;
};

std::vector<PoolLine> Lines(const std::vector<codes::Series>& series)
{
    std::vector<PoolLine> lines;
    for (std::size_t at = 0; at < series.size();) {
        BatchResult total{series[at].shots, 0, 0, {}};
        for (; at < series.size() && series[at].shots == total.shots; ++at) {
            lines.push_back({series[at].id, MakeRow({total.shots, series[at].experiments, series[at].successes, {}})});
            total.experiments += series[at].experiments;
            total.successes += series[at].successes;
        }
        lines.push_back({"pooled", MakeRow(total)});
    }
    return lines;
}

}  // namespace

std::vector<Column> PoolColumns()
{
    std::vector<Column> columns(kColumns.begin(), kColumns.end());
    columns.insert(columns.begin() + 1, {"番号", "series", "series", 8, 4});  // an id has eight characters
    return columns;
}

// A line's cells as `cells` (TableCells or CsvCells) makes them, with the series' id after N as
// `id` writes it.
template <typename MakeCells, typename IdCell>
std::vector<std::vector<std::string>> Cells(const std::vector<codes::Series>& series, MakeCells cells, IdCell id)
{
    std::vector<std::vector<std::string>> all;
    for (const PoolLine& line : Lines(series)) {
        std::vector<std::string>& row = all.emplace_back();
        for (std::string& cell : cells(line.row))
            row.push_back(std::move(cell));
        row.insert(row.begin() + 1, line.id == "pooled" ? line.id : id(line.id));
    }
    return all;
}

namespace {

// An id in the CSV as a formula of its text (="00123"): a spreadsheet opening the file shows every
// id as it is written, where it would take 00123 or 12E34 for a number, and FALSE for a truth.
std::string CsvId(const std::string& id)
{
    return "=\"" + id + "\"";
}

}  // namespace

std::vector<std::vector<std::string>> PoolCells(const std::vector<codes::Series>& series)
{
    return Cells(series, TableCells, [](const std::string& id) { return id; });
}

std::string PoolTable(const std::vector<codes::Series>& series)
{
    return PlainTable(PoolColumns(), PoolCells(series));
}

PoolFigure PoolPlot(const std::vector<codes::Series>& series, int shots)
{
    if (shots == 0) {
        std::map<int, int> counts;
        for (const codes::Series& one : series)
            ++counts[one.shots];
        for (const auto& [n, count] : counts)
            shots = shots == 0 || count > counts[shots] ? n : shots;
    }
    std::vector<Row> rows;
    for (const PoolLine& line : Lines(series)) {
        if (line.row.shots == shots && line.id != "pooled")
            rows.push_back(line.row);
        else if (line.row.shots == shots)
            return {FunnelPlot(rows, line.row), FunnelDescription(rows, line.row), shots};
    }
    return {};
}

std::string PoolCsv(const std::vector<codes::Series>& series)
{
    return CsvTable(PoolColumns(), Cells(series, CsvCells, CsvId));
}

}  // namespace mokopera::sim
