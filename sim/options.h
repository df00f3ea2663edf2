#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mokopera::sim {

struct Options {
    int firstShots = 20;  // N, or the first of a range
    int lastShots = 20;   // equal to firstShots unless a range 5..50 was given
    long long experiments = 1000;
    std::optional<std::uint64_t> seed;  // a time-based one when not given
    bool csv = false;
    std::string plotPath;  // empty: no plot
    bool help = false;
};

inline constexpr long long kMostExperiments = 10'000'000;

// What went wrong with the command line, in Japanese and English.
struct ArgumentError {
    std::string message;
};

// Reads the arguments after the program name.
[[nodiscard]] std::variant<Options, ArgumentError> ParseArguments(const std::vector<std::string>& arguments);

// The --help text, in Japanese and English.
[[nodiscard]] std::string HelpText();

}  // namespace mokopera::sim
