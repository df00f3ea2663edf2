#include "sim/pool_report.h"

#include <limits>
#include <sstream>
#include <tuple>

#include "sim/plot.h"

namespace mokopera::sim {

namespace {

Row SeriesRow(const codes::Series& series)
{
    return MakeRow({series.shots, series.experiments, series.successes, {}});
}

// Every line of the pooled table in order, each N's series and then their total, given to
// `line(id, row)`; the total's id is kPooled.
template <typename Line>
void Lines(const classroom::Pool& pool, Line line)
{
    BatchResult total{};
    pool.Each([&](const codes::Series& series) {
        if (series.shots != total.shots && total.shots != 0)
            line(std::string(kPooled), MakeRow(total));
        if (series.shots != total.shots)
            total = {series.shots, 0, 0, {}};
        line(series.id, SeriesRow(series));
        total.experiments += series.experiments;
        total.successes += series.successes;
    });
    if (total.shots != 0)
        line(std::string(kPooled), MakeRow(total));
}

// A line's cells as `cells` (TableCells or CsvCells) makes them, with `id` after N.
template <typename Cells>
std::vector<std::string> LineCells(const std::string& id, const Row& row, Cells cells)
{
    std::vector<std::string> made;
    for (std::string& cell : cells(row))
        made.push_back(std::move(cell));
    made.insert(made.begin() + 1, id);
    return made;
}

// An id in the CSV as a formula of its text (="00123"): a spreadsheet opening the file shows every
// id as it is written, where it would take 00123 or 12E34 for a number, and FALSE for a truth.
std::string CsvId(const std::string& id)
{
    return id == kPooled ? id : "=\"" + id + "\"";
}

}  // namespace

std::vector<Column> PoolColumns()
{
    std::vector<Column> columns(kColumns.begin(), kColumns.end());
    columns.insert(columns.begin() + 1, {"番号", "series", "series", 8, 4});  // an id has eight characters
    return columns;
}

std::vector<std::vector<std::string>> PoolCells(const classroom::Pool& pool, int shots)
{
    std::vector<std::vector<std::string>> cells;
    for (const codes::Series& series : pool.Series(shots))
        cells.push_back(SeriesCells(series));
    cells.push_back(PooledCells(pool, shots));
    return cells;
}

std::vector<std::string> SeriesCells(const codes::Series& series)
{
    return LineCells(series.id, SeriesRow(series), TableCells);
}

std::vector<std::string> PooledCells(const classroom::Pool& pool, int shots)
{
    BatchResult total{shots, 0, 0, {}};
    for (const codes::Series& series : pool.Series(shots)) {
        total.experiments += series.experiments;
        total.successes += series.successes;
    }
    return LineCells(kPooled, MakeRow(total), TableCells);
}

void WritePoolTable(const classroom::Pool& pool, std::ostream& out)
{
    const std::vector<Column> columns = PoolColumns();
    out << PlainHead(columns);
    Lines(pool,
          [&](const std::string& id, const Row& row) { out << PlainLine(columns, LineCells(id, row, TableCells)); });
}

void WritePoolCsv(const classroom::Pool& pool, std::ostream& out)
{
    out << CsvHead(PoolColumns());
    Lines(pool, [&](const std::string& id, const Row& row) { out << CsvLine(LineCells(CsvId(id), row, CsvCells)); });
}

std::string PoolCsv(const classroom::Pool& pool)
{
    std::ostringstream csv;
    WritePoolCsv(pool, csv);
    return csv.str();
}

PoolFigure PoolPlot(const classroom::Pool& pool, int shots)
{
    int drawn = 0;
    std::size_t most = 0;  // the drawn N's series
    for (const auto& [n, count] : pool.Counts()) {
        if (n == shots)
            std::tie(drawn, most) = std::pair(n, std::numeric_limits<std::size_t>::max());
        else if (count > most)
            std::tie(drawn, most) = std::pair(n, count);
    }
    if (most == 0)
        return {};
    std::vector<Row> rows;
    BatchResult total{drawn, 0, 0, {}};
    for (const codes::Series& series : pool.Series(drawn)) {
        rows.push_back(SeriesRow(series));
        total.experiments += series.experiments;
        total.successes += series.successes;
    }
    const Row pooled = MakeRow(total);
    return {FunnelPlot(rows, pooled), FunnelDescription(rows, pooled), drawn};
}

}  // namespace mokopera::sim
