#include "sim/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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
    Row row;
    row.shots = batch.shots;
    row.experiments = batch.experiments;
    row.successes = batch.successes;
    const Theory theory = TheoryOf(batch.shots);
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

std::string PlainHead(std::span<const Column> columns)
{
    std::string head;
    for (const Column& column : columns)
        head += std::string(std::size_t(column.japaneseLead), ' ') + column.japanese;
    std::vector<std::string> english;
    for (const Column& column : columns)
        english.emplace_back(column.english);
    return head + "\n" + PlainLine(columns, english);
}

// Each cell right-aligned to its column's width, one space between.
std::string PlainLine(std::span<const Column> columns, std::span<const std::string> cells)
{
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        line.append(i > 0 ? 1 : 0, ' ');
        line.append(std::size_t(std::max(0, columns[i].width - int(cells[i].size()))), ' ');
        line += cells[i];
    }
    line += '\n';
    return line;
}

std::string PlainTable(std::span<const Column> columns, const std::vector<std::vector<std::string>>& rows)
{
    std::string table = PlainHead(columns);
    for (const auto& cells : rows)
        table += PlainLine(columns, cells);
    return table;
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

std::string CsvLine(std::span<const std::string> cells)
{
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += i > 0 ? "," : "";
        if (cells[i].find_first_of("\",\r\n") == std::string::npos) {
            line += cells[i];
            continue;
        }
        line += '"';
        for (char c : cells[i])
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line + "\r\n";
}

std::string CsvHead(std::span<const Column> columns)
{
    std::vector<std::string> names;
    for (const Column& column : columns)
        names.emplace_back(column.csv);
    return CsvLine(names);
}

std::string CsvTable(std::span<const Column> columns, const std::vector<std::vector<std::string>>& rows)
{
    std::string table = CsvHead(columns);
    for (const auto& cells : rows)
        table += CsvLine(cells);
    return table;
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
