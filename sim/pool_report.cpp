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
// `line(id, row, prediction)`; the total's id is kPooled, and its prediction none.
template <typename Line>
void Lines(const classroom::Pool& pool, Line line)
{
    BatchResult total{};
    pool.Each([&](const codes::Series& series) {
        if (series.shots != total.shots && total.shots != 0)
            line(std::string(kPooled), MakeRow(total), Prediction{});
        if (series.shots != total.shots)
            total = {series.shots, 0, 0, {}};
        line(series.id, SeriesRow(series), series.prediction);
        total.experiments += series.experiments;
        total.successes += series.successes;
    });
    if (total.shots != 0)
        line(std::string(kPooled), MakeRow(total), Prediction{});
}

// A prediction in the plain table: "30%", "?" for わからない, "-" for none.
std::string PredictionCell(const Prediction& prediction)
{
    return prediction.kind == Prediction::Kind::Percent    ? std::to_string(prediction.percent) + "%"
           : prediction.kind == Prediction::Kind::DontKnow ? std::string("?")
                                                           : std::string("-");
}

// The CSV's prediction columns: the percentage (empty without one), and what was said: percent,
// dont_know or none.
std::vector<std::string> PredictionCsvCells(const Prediction& prediction)
{
    switch (prediction.kind) {
    case Prediction::Kind::Percent:
        return {std::to_string(prediction.percent), "percent"};
    case Prediction::Kind::DontKnow:
        return {"", "dont_know"};
    case Prediction::Kind::None:
        break;
    }
    return {"", "none"};
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
    columns.push_back({"予想", "prediction", "prediction_percent", 10, 6});
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
    std::vector<std::string> cells = LineCells(series.id, SeriesRow(series), TableCells);
    cells.push_back(PredictionCell(series.prediction));
    return cells;
}

std::vector<std::string> PooledCells(const classroom::Pool& pool, int shots)
{
    BatchResult total{shots, 0, 0, {}};
    for (const codes::Series& series : pool.Series(shots)) {
        total.experiments += series.experiments;
        total.successes += series.successes;
    }
    std::vector<std::string> cells = LineCells(kPooled, MakeRow(total), TableCells);
    cells.emplace_back();
    return cells;
}

void WritePoolTable(const classroom::Pool& pool, std::ostream& out)
{
    const std::vector<Column> columns = PoolColumns();
    out << PlainHead(columns);
    Lines(pool, [&](const std::string& id, const Row& row, const Prediction& prediction) {
        std::vector<std::string> cells = LineCells(id, row, TableCells);
        cells.push_back(id == kPooled ? "" : PredictionCell(prediction));
        out << PlainLine(columns, cells);
    });
    const std::vector<PredictionSummary> summaries = PredictionSummaries(pool);
    if (!summaries.empty())
        out << "\n予想と結果 (predictions: - none, ? わからない / don't know)\n";
    for (const PredictionSummary& summary : summaries)
        out << PredictionSummaryText(summary) << "\n";
}

void WritePoolCsv(const classroom::Pool& pool, std::ostream& out)
{
    std::vector<Column> columns = PoolColumns();
    columns.push_back({"", "", "prediction", 0, 0});
    out << CsvHead(columns);
    Lines(pool, [&](const std::string& id, const Row& row, const Prediction& prediction) {
        std::vector<std::string> cells = LineCells(CsvId(id), row, CsvCells);
        for (std::string& cell : id == kPooled ? std::vector<std::string>{"", ""} : PredictionCsvCells(prediction))
            cells.push_back(std::move(cell));
        out << CsvLine(cells);
    });
}

std::string PoolCsv(const classroom::Pool& pool)
{
    std::ostringstream csv;
    WritePoolCsv(pool, csv);
    return csv.str();
}

std::vector<PredictionSummary> PredictionSummaries(const classroom::Pool& pool)
{
    std::vector<PredictionSummary> summaries;
    bool asked = false;
    for (const auto& [shots, count] : pool.Counts()) {
        std::vector<Prediction> predictions;
        for (const codes::Series& series : pool.Series(shots))
            predictions.push_back(series.prediction);
        summaries.push_back(SummarizePredictions(shots, predictions));
        asked = asked || summaries.back().none < int(predictions.size());
    }
    if (!asked)
        summaries.clear();
    return summaries;
}

PoolFigure PredictionFigure(const classroom::Pool& pool)
{
    std::vector<PredictionGroup> groups;
    std::string description;
    for (const PredictionSummary& summary : PredictionSummaries(pool)) {
        if (summary.predicted + summary.dontKnow == 0)
            continue;  // an N whose series were asked nothing
        PredictionGroup group{summary.shots, {}, summary.dontKnow, summary.none, {}};
        BatchResult total{summary.shots, 0, 0, {}};
        for (const codes::Series& series : pool.Series(summary.shots)) {
            if (series.prediction.kind == Prediction::Kind::Percent)
                group.percents.push_back(series.prediction.percent);
            total.experiments += series.experiments;
            total.successes += series.successes;
        }
        group.pooled = MakeRow(total);
        groups.push_back(std::move(group));
        description += PredictionSummaryText(summary);
    }
    if (groups.empty())
        return {};
    const int drawn = groups.size() == 1 ? groups.front().shots : 0;
    return {PredictionPlot(groups),
            (groups.size() == 1 ? "予想と結果の図。" : "N ごとの予想と結果の図。") + description, drawn};
}

std::string PoolPlotFile(const classroom::Pool& pool, int shots)
{
    const PoolFigure funnel = PoolPlot(pool, shots);
    const PoolFigure predictions = PredictionFigure(pool);
    if (predictions.svg.empty())
        return funnel.svg;
    // Two figures one above the other, each as it is drawn alone.
    const auto inner = [](const std::string& svg, int top) {
        const std::size_t start = svg.find("<svg");
        return "<svg y=\"" + std::to_string(top) + "\"" + svg.substr(start + 4);
    };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"720\" "
           "height=\"960\" viewBox=\"0 0 720 960\">\n" +
           inner(funnel.svg, 0) + inner(predictions.svg, 480) + "</svg>\n";
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
