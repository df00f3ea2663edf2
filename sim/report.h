#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/batch.h"

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
// sqrt(p(1 − p)/experiments). The table's difference and the plots' bands of ±2 use it.
[[nodiscard]] double StandardError(double p, double experiments);

// `value` with `decimals` decimals, as printf writes it ("0.123").
[[nodiscard]] std::string Fixed(double value, int decimals);

// A plain table with a header, the seed on its first line.
[[nodiscard]] std::string FormatTable(const std::vector<Row>& rows, std::uint64_t seed);

// The same as CSV: RFC 4180 (CRLF line ends), UTF-8, one header row.
[[nodiscard]] std::string FormatCsv(const std::vector<Row>& rows);

}  // namespace mokopera::sim
