// The shots-per-experiment entry rule, the theory text and the number formats.

#include <algorithm>
#include <tuple>

#include "doctest_extras.h"
#include "simulation/entry.h"
#include "simulation/number_text.h"
#include "simulation/theory.h"

using namespace mokopera;

// Each row: a text, and what the entry makes of it: N (5 to 50), -1 for rejected, 0 for empty.
TEST_CASE("EntryRule")
{
    // clang-format off
    const std::tuple<const char*, std::string, int> rows[] = {
        {"empty", std::string(), 0}, {"offered 20", std::string("20"), 20}, {"lowest 5", std::string("5"), 5},
        {"highest 50", std::string("50"), 50}, {"4.99", std::string("4.99"), -1}, {"50.5", std::string("50.5"), -1},
        {"5.5 cut to 5", std::string("5.5"), 5}, {"7.9 cut to 7", std::string("7.9"), 7},
        {"49.999 cut to 49", std::string("49.999"), 49}, {"letters", std::string("abc"), -1},
        {"20 then letters", std::string("20abc"), 20}, {"blanks only are not empty", std::string("   "), -1},
        {"leading blanks", std::string("  \t7"), 7}, {"plus sign", std::string("+12"), 12},
        {"negative", std::string("-20"), -1}, {"exponent in range", std::string("1e1"), 10},
        {"1e9", std::string("1e9"), -1}, {"exponent beyond double", std::string("1e400"), -1},
        {"inf", std::string("inf"), -1}, {"nan", std::string("nan"), -1}, {"400 digits", std::string(400, '9'), -1},
        {"leading NUL", std::string("\0" "20", 3), -1}, {"NUL after the number", std::string("20\0" "99", 5), 20},
        {"invalid UTF-8", std::string("\xff\xfe\x80"), -1}, {"full-width digits", std::string("２０"), 20},
        {"full-width point, sign and space", std::string("　＋７．９"), 7}, {"full-width minus", std::string("－２０"), -1},
        {"full-width and ASCII mixed", std::string("2０"), 20}, {"full-width 51", std::string("５１"), -1},
        {"an ideographic space only", std::string("　"), -1}, {"full-width comma stops", std::string("７，９"), 7},
        {"half a full-width digit", std::string("\xEF\xBC"), -1},
        {"hex prefix reads as 0", std::string("0x10"), -1}, {"double sign", std::string("+-7"), -1},
        {"decimal comma stops the number", std::string("7,9"), 7},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, text, expected] = row;
        INFO(std::get<0>(row));
        const EntryOutcome outcome = ValidateShotsEntry(text);
        CHECK(outcome.Kind == (expected == 0  ? EntryKind::Empty
                               : expected < 0 ? EntryKind::Rejected
                                              : EntryKind::Accepted));
        CHECK_EQ(int{outcome.Value}, std::max(expected, 0));
    }
}

// The theory for the lowest, offered and highest N. The single-precision running product shows at
// N = 10 (the exact 1 − 0.9^10 would read 0.6513216) and N = 24 (0.9202336).
TEST_CASE("TheoryText")
{
    const std::pair<int, const char*> rows[] = {
        {5, "0.4095100"}, {10, "0.6513215"}, {20, "0.8784233"}, {24, "0.9202335"}, {50, "0.9948462"}};
    for (const auto& row : rows) {
        const auto& [shots, text] = row;
        INFO("N = ", std::get<0>(row));
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        CHECK_EQ(ShowTheory(state), std::string(text));
    }
}

TEST_CASE("ProbabilityFormat")
{
    // clang-format off
    const std::tuple<const char*, double, const char*> rows[] = {
        {"1/3", 1.0 / 3, "0.3333333"}, {"2/3", 2.0 / 3, "0.6666667"}, {"one", 1.0, "1.0000000"},
        {"zero", 0.0, "0.0000000"}, {"exact half rounds up", 225.0 / 256, "0.8789063"},
        {"just below a half rounds down", 0.00000004999999, "0.0000000"}, {"tiny", 1e-300, "0.0000000"},
        {"carry into the units", 0.99999996, "1.0000000"},
        {"1121/1280 is a half, stored just below it", 1121.0 / 1280, "0.8757813"},
        {"0.99999995 is a half, stored just below it", 0.99999995, "1.0000000"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [name, value, text] = row;
        INFO(std::get<0>(row));
        CHECK_EQ(FormatProbability(value), std::string(text));
    }
}
