// The class together, without a page: a lesson link's options, the result codes (their check
// and how they are read among any text).

#include <algorithm>
#include <sstream>
#include <utility>

#include "classroom/lesson.h"
#include "classroom/result_code.h"
#include "doctest_extras.h"

using namespace mokopera;

// A lesson link's N: only a plain N from 5 to 50; anything else offers 20 (no N).
TEST_CASE("LessonLink")
{
    // clang-format off
    const std::pair<const char*, int> rows[] = {
        {"#n=22", 22}, {"n=5", 5}, {"#n=50", 50}, {"#n=05", 5}, {"#n=4", 0}, {"#n=51", 0}, {"#n=99", 0},
        {"#n=abc", 0}, {"#n=", 0}, {"", 0}, {"#", 0}, {"#n=22.5", 0}, {"#n=+22", 0}, {"#n=022", 0},
        {"#x=1&n=30", 30}, {"#n=30&x=1", 30}, {"#nn=22", 0}, {"#N=22", 0}, {"#n=２２", 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        INFO(row.first);
        CHECK_EQ(LessonShots(row.first).value_or(0), row.second);
    }
}

// Every single changed character and every swap of two neighbouring characters of a code is
// refused, over many codes (the check's promise); and the codes themselves read back.
TEST_CASE("ResultCodeCheck")
{
    const std::string symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
    const auto accepted = [](const std::string& text) {
        const auto found = codes::ReadCodes(text);
        return std::any_of(found.begin(), found.end(), [](const auto& c) { return c.accepted; });
    };
    std::uint64_t random = 12345;
    for (int made = 0; made < 300; ++made) {
        random = random * 6364136223846793005ULL + 1442695040888963407ULL;
        const int experiments = int((random >> 20) % 32768);
        const codes::Series series{5 + int((random >> 58) % 46), experiments,
                                   int((random >> 40) % std::uint64_t(experiments + 1)), codes::MakeId(random >> 3)};
        const std::string code = codes::Encode(series);
        INFO(code);
        const auto read = codes::ReadCodes(code);
        REQUIRE_EQ(read.size(), 1U);
        CHECK_EQ(Encode(read[0].series), code);
        for (std::size_t at = 0; at < code.size(); ++at) {
            for (char other : symbols) {
                if (other != code[at])
                    CHECK_FALSE(accepted(code.substr(0, at) + other + code.substr(at + 1)));
            }
            if (at + 1 < code.size() && code[at] != code[at + 1])
                CHECK_FALSE(accepted(code.substr(0, at) + code[at + 1] + code[at] + code.substr(at + 2)));
        }
    }
}

// Codes among any text: how each is read, and why one is refused.
TEST_CASE("ResultCodeReading")
{
    const std::string good = codes::Encode({20, 150, 38, "K7Q2X"});
    std::string lower = good, wide;  // wide: full-width digits, letters and hyphens
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });
    for (char c : good)
        wide += c == '-'   ? std::string("\uFF0D")
                : c <= '9' ? std::string("\xEF\xBC") + char(0x90 + c - '0')
                           : std::string("\xEF\xBC") + char(0xA1 + c - 'A');
    const std::pair<std::string, std::string> rows[] = {
        {"山田：" + good + "です。", "ok 20 150 38"},
        {lower + ", " + wide + "-", "ok 20 150 38|ok 20 150 38"},
        {good.substr(0, 8) + "9" + good.substr(9), "refused the check character is wrong"},
        {codes::Encode({20, 10, 11, "ABCDE"}), "refused more successes than experiments"},
        {codes::Encode({51, 10, 1, "ABCDE"}), "refused N is outside 5 to 50"},
        {codes::Encode({20, 32768, 1, "ABCDE"}), "refused more than 32767 experiments"},
        {"M2-20-00150-00038-ABCDEFG M-1 MIX-1 SM1-20", "refused an unknown version"},
    };
    for (const auto& [text, expected] : rows) {
        std::ostringstream seen;
        seen << text << ":";
        const char* between = " ";
        for (const auto& found : codes::ReadCodes(text)) {
            seen << std::exchange(between, "|");
            if (found.accepted)
                seen << "ok " << found.series.shots << ' ' << found.series.experiments << ' ' << found.series.successes;
            else
                seen << "refused " << codes::ReasonEnglish(found.refusal);
        }
        CHECK_EQ(seen.str(), std::string(text).append(": ").append(expected));
    }
}
