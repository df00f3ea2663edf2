#include "sim/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "simulation/number_text.h"
#include "simulation/theory.h"

namespace mokopera::sim {

namespace {

std::string Signed(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%+.2f", value);
    return buffer;
}

}  // namespace

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

double StandardError(double p, double experiments)
{
    return std::sqrt(p * (1 - p) / experiments);
}

Row MakeRow(const BatchResult& batch)
{
    ExperimentState state;
    state.ShotsPerExperiment = static_cast<std::int16_t>(batch.shots);
    Row row;
    row.shots = batch.shots;
    row.experiments = batch.experiments;
    row.successes = batch.successes;
    const Theory theory = ComputeTheory(state);
    row.theoreticalText = theory.text;
    row.theoretical = theory.probability;
    row.experimental = batch.experiments > 0 ? double(batch.successes) / double(batch.experiments) : 0.0;
    row.experimentalText = FormatProbability(row.experimental);
    row.standardErrors =
        (row.experimental - row.theoretical) / StandardError(row.theoretical, double(std::max(1LL, batch.experiments)));
    return row;
}

std::array<std::string, kColumns.size()> TableCells(const Row& row)
{
    return {std::to_string(row.shots),     std::to_string(row.experiments),
            std::to_string(row.successes), row.experimentalText,
            row.theoreticalText,           Signed(row.standardErrors)};
}

std::string PlainTable(std::span<const Column> columns, const std::vector<std::vector<std::string>>& rows)
{
    std::ostringstream out;
    // A line of cells, each right-aligned to its column's width, one space between.
    auto line = [&out, columns](const auto& cell) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::string text = cell(i);
            out << (i > 0 ? " " : "") << std::string(std::max(0, columns[i].width - int(text.size())), ' ') << text;
        }
        out << "\n";
    };
    for (const Column& column : columns)
        out << std::string(std::size_t(column.japaneseLead), ' ') << column.japanese;
    out << "\n";
    line([columns](std::size_t i) { return std::string(columns[i].english); });
    for (const auto& cells : rows)
        line([&cells](std::size_t i) { return cells[i]; });
    return out.str();
}

std::string FormatTable(const std::vector<Row>& rows, std::uint64_t seed)
{
    std::vector<std::vector<std::string>> cells;
    for (const Row& row : rows) {
        const auto table = TableCells(row);
        cells.emplace_back(table.begin(), table.end());
    }
    return "乱数の種 seed: " + std::to_string(seed) + "\n" + PlainTable(kColumns, cells);
}

std::array<std::string, kColumns.size()> CsvCells(const Row& row)
{
    return {std::to_string(row.shots),     std::to_string(row.experiments),
            std::to_string(row.successes), row.experimentalText,
            row.theoreticalText,           Fixed(row.standardErrors, 3)};
}

std::string CsvTable(std::span<const Column> columns, const std::vector<std::vector<std::string>>& rows)
{
    std::ostringstream out;
    // A cell as RFC 4180 writes it: in quotes, its quotes doubled, where it holds a quote, a comma
    // or a line break.
    const auto cell = [&out](const std::string& text) {
        if (text.find_first_of("\",\r\n") == std::string::npos) {
            out << text;
            return;
        }
        out << '"';
        for (char c : text)
            out << (c == '"' ? "\"\"" : std::string(1, c));
        out << '"';
    };
    const auto line = [&out, &cell](const auto& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out << (i > 0 ? "," : "");
            cell(cells[i]);
        }
        out << "\r\n";
    };
    std::vector<std::string> names;
    for (const Column& column : columns)
        names.emplace_back(column.csv);
    line(names);
    for (const auto& cells : rows)
        line(cells);
    return out.str();
}

std::string FormatCsv(const std::vector<Row>& rows)
{
    std::vector<std::vector<std::string>> cells;
    for (const Row& row : rows) {
        const auto csv = CsvCells(row);
        cells.emplace_back(csv.begin(), csv.end());
    }
    return CsvTable(kColumns, cells);
}

}  // namespace mokopera::sim
