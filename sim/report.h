#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/groups.h"

namespace mokopera::sim {

// One line of the report: a batch set against the theory.
struct Row {
    int shots = 0;
    long long experiments = 0;
    long long successes = 0;
    double experimental = 0;       // successes / experiments
    double theoretical = 0;        // 1 − 0.9^N as the program computes it (single precision)
    double standardErrors = 0;     // (experimental − theoretical) / its standard error
    std::string experimentalText;  // "0.0000000"
    std::string theoreticalText;   // "0.0000000", the text the main window shows
};

[[nodiscard]] Row MakeRow(const BatchResult& batch);

// The standard error of a share of `experiments` experiments whose true probability is `p`:
// sqrt(p(1 − p)/experiments). The table's difference, the plots' bands of ±2 (and the funnel
// plot's of ±3) and its ring around a series outside ±3 use it.
[[nodiscard]] double StandardError(double p, double experiments);

// `value` with `decimals` decimals, as printf writes it ("0.123").
[[nodiscard]] std::string Fixed(double value, int decimals);

// The table's columns: their headings in Japanese and in English, their names in the CSV, their
// widths in the plain table (right-aligned, one space between), and the spaces the plain table
// has always put before each Japanese heading. Then the cells of one row as the plain table
// writes them (the difference in standard errors with its sign: "+0.42").
struct Column {
    const char* japanese;
    const char* english;
    const char* csv;
    int width;
    int japaneseLead;
};
// clang-format off
inline constexpr std::array<Column, 6> kColumns = {{
    {"N", "N", "shots_per_experiment", 4, 3},
    {"実験回数", "experiments", "experiments", 11, 3},
    {"成功回数", "successes", "successes", 9, 3},
    {"実験的確率", "experimental", "experimental_probability", 12, 2},
    {"理論上の確率", "theoretical", "theoretical_probability", 12, 2},
    {"差(標準誤差)", "difference/SE", "difference_in_standard_errors", 14, 2},
}};
// clang-format on
[[nodiscard]] std::array<std::string, kColumns.size()> TableCells(const Row& row);

// A plain table of `columns` with their headings in both languages, then the rows' cells; and
// its head and one line of it, for a table written a line at a time.
[[nodiscard]] std::string PlainTable(std::span<const Column> columns,
                                     const std::vector<std::vector<std::string>>& rows);
[[nodiscard]] std::string PlainHead(std::span<const Column> columns);
[[nodiscard]] std::string PlainLine(std::span<const Column> columns, std::span<const std::string> cells);

// The same as CSV (RFC 4180: CRLF line ends, a cell with a quote, comma or line break in quotes),
// the columns' CSV names on the first line; its head and one line; and the cells of one row as the
// CSV writes them (the difference with three decimals: "-1.934").
[[nodiscard]] std::string CsvTable(std::span<const Column> columns, const std::vector<std::vector<std::string>>& rows);
[[nodiscard]] std::string CsvHead(std::span<const Column> columns);
[[nodiscard]] std::string CsvLine(std::span<const std::string> cells);
[[nodiscard]] std::array<std::string, kColumns.size()> CsvCells(const Row& row);

// A plain table with a header, the seed on its first line.
[[nodiscard]] std::string FormatTable(const std::vector<Row>& rows, std::uint64_t seed);

// The same as CSV: RFC 4180 (CRLF line ends), UTF-8, one header row.
[[nodiscard]] std::string FormatCsv(const std::vector<Row>& rows);

}  // namespace mokopera::sim
