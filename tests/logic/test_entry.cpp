// The shots-per-experiment entry rule, the theory text and the number formats.

#include <clocale>
#include <tuple>

#include "check.h"
#include "simulation/entry.h"
#include "simulation/number_text.h"

using namespace mokopera;

TEST(EntryRule)
{
    struct Row {
        const char* name;
        std::string text;
        EntryKind kind;
        int value;
    };
    const Row rows[] = {
        {"empty", std::string(), EntryKind::Empty, 0},
        {"offered 20", std::string("20"), EntryKind::Accepted, 20},
        {"lowest 5", std::string("5"), EntryKind::Accepted, 5},
        {"highest 50", std::string("50"), EntryKind::Accepted, 50},
        {"4", std::string("4"), EntryKind::Rejected, 0},
        {"4.99", std::string("4.99"), EntryKind::Rejected, 0},
        {"50.5", std::string("50.5"), EntryKind::Rejected, 0},
        {"51", std::string("51"), EntryKind::Rejected, 0},
        {"5.5 cut to 5", std::string("5.5"), EntryKind::Accepted, 5},
        {"7.9 cut to 7", std::string("7.9"), EntryKind::Accepted, 7},
        {"49.999 cut to 49", std::string("49.999"), EntryKind::Accepted, 49},
        {"letters", std::string("abc"), EntryKind::Rejected, 0},
        {"20 then letters", std::string("20abc"), EntryKind::Accepted, 20},
        {"blanks only are not empty", std::string("   "), EntryKind::Rejected, 0},
        {"leading blanks", std::string("  \t7"), EntryKind::Accepted, 7},
        {"plus sign", std::string("+12"), EntryKind::Accepted, 12},
        {"negative", std::string("-20"), EntryKind::Rejected, 0},
        {"exponent in range", std::string("1e1"), EntryKind::Accepted, 10},
        {"1e9", std::string("1e9"), EntryKind::Rejected, 0},
        {"-1e9", std::string("-1e9"), EntryKind::Rejected, 0},
        {"exponent beyond double", std::string("1e400"), EntryKind::Rejected, 0},
        {"inf", std::string("inf"), EntryKind::Rejected, 0},
        {"nan", std::string("nan"), EntryKind::Rejected, 0},
        {"400 digits", std::string(400, '9'), EntryKind::Rejected, 0},
        {"leading NUL", std::string("\0" "20", 3), EntryKind::Rejected, 0},
        {"NUL after the number", std::string("20\0" "99", 5), EntryKind::Accepted, 20},
        {"invalid UTF-8", std::string("\xff\xfe\x80"), EntryKind::Rejected, 0},
        {"full-width digits are not read", std::string("２０"), EntryKind::Rejected, 0},
        {"hex prefix reads as 0", std::string("0x10"), EntryKind::Rejected, 0},
        {"double sign", std::string("+-7"), EntryKind::Rejected, 0},
        {"decimal comma stops the number", std::string("7,9"), EntryKind::Accepted, 7},
    };
    for (const Row& row : rows) {
        ROW(row.name);
        const EntryOutcome outcome = ValidateShotsEntry(row.text);
        CHECK(outcome.Kind == row.kind);
        CHECK_EQ(int{outcome.Value}, row.value);
    }
}

// The decimal point is '.' whatever the user's locale says.
TEST(PointInAnyLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale))
            continue;
        ROW(locale);
        CHECK_EQ(ReadLeadingNumber("7.9"), 7.9);
        CHECK(ValidateShotsEntry("7,9").Value == 7);
    }
    std::setlocale(LC_ALL, saved.c_str());
}

// Every N the entry accepts. The single-precision running product shows at N = 10 (the exact
// 1 − 0.9^10 would read 0.6513216) and N = 24 (0.9202336).
TEST(TheoryForEveryN)
{
    const std::pair<int, const char*> rows[] = {
        {5, "0.4095100"}, {6, "0.4685590"}, {7, "0.5217031"}, {8, "0.5695328"}, {9, "0.6125795"},
        {10, "0.6513215"}, {11, "0.6861894"}, {12, "0.7175705"}, {13, "0.7458134"}, {14, "0.7712321"},
        {15, "0.7941089"}, {16, "0.8146980"}, {17, "0.8332282"}, {18, "0.8499054"}, {19, "0.8649148"},
        {20, "0.8784233"}, {21, "0.8905810"}, {22, "0.9015229"}, {23, "0.9113706"}, {24, "0.9202335"},
        {25, "0.9282102"}, {26, "0.9353892"}, {27, "0.9418502"}, {28, "0.9476652"}, {29, "0.9528987"},
        {30, "0.9576088"}, {31, "0.9618480"}, {32, "0.9656631"}, {33, "0.9690968"}, {34, "0.9721872"},
        {35, "0.9749684"}, {36, "0.9774716"}, {37, "0.9797245"}, {38, "0.9817520"}, {39, "0.9835768"},
        {40, "0.9852191"}, {41, "0.9866972"}, {42, "0.9880275"}, {43, "0.9892247"}, {44, "0.9903023"},
        {45, "0.9912720"}, {46, "0.9921448"}, {47, "0.9929304"}, {48, "0.9936373"}, {49, "0.9942736"},
        {50, "0.9948462"},
    };
    for (const auto& [shots, text] : rows) {
        ROW("N = " + std::to_string(shots));
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        CHECK_EQ(ShowTheory(state), std::string(text));
    }
}

TEST(ProbabilityFormat)
{
    const std::tuple<const char*, double, const char*> rows[] = {
        {"1/3", 1.0 / 3, "0.3333333"},
        {"2/3", 2.0 / 3, "0.6666667"},
        {"one", 1.0, "1.0000000"},
        {"zero", 0.0, "0.0000000"},
        {"exact half rounds up", 225.0 / 256, "0.8789063"},
        {"just below a half rounds down", 0.00000004999999, "0.0000000"},
        {"tiny", 1e-300, "0.0000000"},
        {"carry into the units", 0.99999996, "1.0000000"},
        {"1121/1280 is a half, stored just below it", 1121.0 / 1280, "0.8757813"},
        {"0.99999995 is a half, stored just below it", 0.99999995, "1.0000000"},
    };
    for (const auto& [name, value, text] : rows) {
        ROW(name);
        CHECK_EQ(FormatProbability(value), std::string(text));
    }
}

TEST_MAIN
