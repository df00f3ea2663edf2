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
    row.theoreticalText = ShowTheory(state);
    row.theoretical = static_cast<float>(1.0 - static_cast<double>(state.TheoryProduct));
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

std::string FormatTable(const std::vector<Row>& rows, std::uint64_t seed)
{
    std::ostringstream out;
    out << "乱数の種 seed: " << seed << "\n"
        << "   N   実験回数   成功回数  実験的確率  理論上の確率  差(標準誤差)\n"
        << "   N experiments successes experimental  theoretical  difference/SE\n";
    for (const Row& row : rows) {
        const auto cells = TableCells(row);
        char line[160];
        std::snprintf(line, sizeof line, "%4s %11s %9s %12s %12s %14s\n", cells[0].c_str(), cells[1].c_str(),
                      cells[2].c_str(), cells[3].c_str(), cells[4].c_str(), cells[5].c_str());
        out << line;
    }
    return out.str();
}

std::string FormatCsv(const std::vector<Row>& rows)
{
    std::ostringstream out;
    out << "shots_per_experiment,experiments,successes,experimental_probability,theoretical_probability,"
           "difference_in_standard_errors\r\n";
    for (const Row& row : rows)
        out << row.shots << ',' << row.experiments << ',' << row.successes << ',' << row.experimentalText << ','
            << row.theoreticalText << ',' << Fixed(row.standardErrors, 3) << "\r\n";
    return out.str();
}

}  // namespace mokopera::sim
