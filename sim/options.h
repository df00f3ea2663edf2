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
    std::string plotPath;     // empty: no plot
    std::string poolPath;     // the class's codes to pool instead of a batch ("-": standard input)
    bool batchGiven = false;  // -n, -e or --seed was given
    bool help = false;
};

inline constexpr long long kMostExperiments = 10'000'000;

// What went wrong with the command line, in Japanese and English.
struct ArgumentError {
    std::string message;
    std::string option;  // the option whose value is wrong ("-n", "-e", "--seed", "--plot"), if any
};

// Reads the arguments after the program name.
[[nodiscard]] std::variant<Options, ArgumentError> ParseArguments(const std::vector<std::string>& arguments);

// Reads `text` as the value of `option` (-n, -e, --seed, --plot or --pool) into `options`; the error
// names the option when the value is wrong. Command lines and forms read their values alike, as a
// teacher may write them: full-width, with spaces around, digits in groups ("10,000", "10 000"),
// and ranges as 5..50, 5〜50, 5～50, 5‥50 or "5 .. 50".
[[nodiscard]] std::optional<ArgumentError> ReadValue(const std::string& option, const std::string& text,
                                                     Options& options);

// The --help text, in Japanese and English.
[[nodiscard]] std::string HelpText();

}  // namespace mokopera::sim
