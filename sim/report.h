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

// A plain table with a header, the seed on its first line.
[[nodiscard]] std::string FormatTable(const std::vector<Row>& rows, std::uint64_t seed);

// The same as CSV: RFC 4180 (CRLF line ends), UTF-8, one header row.
[[nodiscard]] std::string FormatCsv(const std::vector<Row>& rows);

// Experiment counts at which to record the running probability: about `count` points spread
// evenly on a log scale over 1..experiments, ascending and without repeats.
[[nodiscard]] std::vector<long long> LogCheckpoints(long long experiments, int count);

// SVG of the running experimental probability against the number of experiments (log scale),
// with the theory as a dashed line and a band of ±2 standard errors around it.
[[nodiscard]] std::string ConvergencePlot(const Row& row, const std::vector<Checkpoint>& running);

// SVG of the experimental probability for each N over the theoretical curve 1 − 0.9^N.
[[nodiscard]] std::string RangePlot(const std::vector<Row>& rows);

}  // namespace mokopera::sim
