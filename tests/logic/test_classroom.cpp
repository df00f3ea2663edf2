// The class together, without a page: a lesson link's options, the result codes (their check
// and how they are read among any text), and the class's pool.

#include <algorithm>
#include <numeric>
#include <sstream>
#include <tuple>
#include <utility>

#include "classroom/lesson.h"
#include "classroom/pool.h"
#include "classroom/prediction.h"
#include "classroom/result_code.h"
#include "doctest_extras.h"

using namespace mokopera;

// A lesson link's options: only a plain N from 5 to 50 (anything else offers 20: no N), and the
// word predict as a field of its own, in any order.
TEST_CASE("LessonLink")
{
    // clang-format off
    const std::tuple<const char*, int, bool> rows[] = {
        {"#n=22", 22, false}, {"n=5", 5, false}, {"#n=50", 50, false}, {"#n=05", 5, false}, {"#n=4", 0, false},
        {"#n=51", 0, false}, {"#n=99", 0, false}, {"#n=abc", 0, false}, {"#n=", 0, false}, {"", 0, false},
        {"#", 0, false}, {"#n=22.5", 0, false}, {"#n=+22", 0, false}, {"#n=022", 0, false}, {"#x=1&n=30", 30, false},
        {"#n=30&x=1", 30, false}, {"#nn=22", 0, false}, {"#N=22", 0, false}, {"#n=２２", 0, false},
        {"#n=22&predict", 22, true}, {"#predict&n=22", 22, true}, {"#predict", 0, true}, {"predict", 0, true},
        {"#n=99&predict", 0, true}, {"#predicts&n=22", 22, false}, {"#Predict", 0, false}, {"#predict=1", 0, false},
        {"#n=22predict", 0, false}, {"#<script>&predict", 0, true},
    };
    // clang-format on
    for (const auto& row : rows) {
        INFO(std::get<0>(row));
        const LessonOptions options = ReadLessonOptions(std::get<0>(row));
        CHECK_EQ(options.shots.value_or(0), std::get<1>(row));
        CHECK_EQ(options.predict, std::get<2>(row));
    }
}

// A prediction as the field beside the slider gives it, and the class's predictions summed up
// for the teacher: near the theory (N = 10: 65.1 %) within 10 points, at or above the linear
// guess (100 %), their median.
TEST_CASE("Predictions")
{
    // clang-format off
    const std::pair<const char*, int> typed[] = {
        {"30", 30}, {"０", 0}, {"１００", 100}, {" 65 ", 65}, {"65%", 65}, {"６５％", 65}, {"100 %", 100}, {"007", 7},
        {"", -1}, {"101", -1}, {"-5", -1}, {"30.5", -1}, {"abc", -1}, {"1000", -1}, {"%", -1}, {"3 0", -1},
    };
    // clang-format on
    for (const auto& row : typed) {
        INFO(row.first);
        CHECK_EQ(ReadPercent(row.first).value_or(-1), row.second);
    }
    const std::vector<Prediction> said = {Prediction::Of(100), Prediction::Of(55),  Prediction::Of(75),
                                          Prediction::Of(30),  Prediction::Of(100), Prediction::DontKnow(),
                                          Prediction{},        Prediction::Of(56)};
    const PredictionSummary summary = SummarizePredictions(10, said);
    CHECK_EQ(std::tuple(summary.predicted, summary.dontKnow, summary.none, summary.nearTheory, summary.linearOrAbove),
             std::tuple(6, 1, 1, 2, 2));  // 56 and 75 are within 10 points of 65.1; 55 is not
    CHECK_EQ(summary.median.value_or(-1), 65.5);
    CHECK_EQ(PredictionSummaryText(summary),
             "N = 10：予想 6 件（理論 65.1％ の±10ポイント以内 2 件、１回 10％ずつ足した値 100％ 以上 2 件、"
             "予想の中央値 65.5％）、わからない 1 件、予想なし 1 件。");
    CHECK_EQ(SummarizePredictions(5, std::vector<Prediction>{Prediction::Of(50)}).linearOrAbove, 1);  // 10·5 = 50
    CHECK_FALSE(SummarizePredictions(20, std::vector<Prediction>{Prediction{}}).median.has_value());
    CHECK_EQ(ComparisonSentence(Prediction::Of(100), 10, 20, 13), "予想 100％、実験 0.6500000、理論 0.6513215");
}

// Every single changed character and every swap of two neighbouring characters of a code is
// refused, over many codes of every version (the check's promise); and the codes themselves read
// back.
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
        const int experiments = 1 + int((random >> 20) % 32767);
        const int percent = int((random >> 8) % 102);  // 101 stands for わからない
        const codes::Series series{
            5 + int((random >> 58) % 46), experiments, int((random >> 40) % std::uint64_t(experiments + 1)),
            codes::MakeId(random >> 3).substr(0, made % 3 == 1 ? codes::kFirstIdLength : codes::kIdLength),
            made % 3 != 2   ? Prediction{}
            : percent > 100 ? Prediction::DontKnow()
                            : Prediction::Of(percent)};
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

// Codes among any text, as people and chat apps write them: how each is read, and why one is
// refused; a text without every part of a code is no candidate and is not named.
TEST_CASE("ResultCodeReading")
{
    const std::string good = codes::Encode({20, 150, 38, "K7Q2XA9B"});  // M2-20-00150-00038-K7Q2XA9B..
    const std::string old = codes::Encode({22, 10, 9, "BBBBB"});        // version 1: M1-22-00010-00009-BBBBB95
    std::string lower = good, wide;                                     // wide: full-width digits, letters and hyphens
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });
    for (char c : good)
        wide += c == '-'   ? std::string("\uFF0D")
                : c <= '9' ? std::string("\xEF\xBC") + char(0x90 + c - '0')
                           : std::string("\xEF\xBC") + char(0xA1 + c - 'A');
    std::string arabic;  // Arabic-Indic digits
    for (char c : good)
        arabic += c >= '0' && c <= '9' ? std::string("\xD9") + char(0xA0 + c - '0') : std::string(1, c);
    const auto with = [&good](std::size_t at, const std::string& put, std::size_t drop = 0) {
        return good.substr(0, at) + put + good.substr(at + drop);
    };
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"山田：" + good + "です。", "ok 20 150 38"},
        {lower + ", " + wide + "-", "ok 20 150 38|ok 20 150 38"},
        {"version 1, as it always was: " + old, "ok 22 10 9"},
        {"a line broken at a hyphen: " + with(12, "\r\n"), "ok 20 150 38"},
        {"a line broken inside a part: " + with(8, "\n") + " and then", "ok 20 150 38"},
        {"spaces around the hyphens: " + with(2, " - ", 1), "ok 20 150 38"},
        {"half-width and small hyphens: " + good.substr(0, 5) + "\uFF70" + good.substr(6, 5) + "\uFE63" + good.substr(12),
         "ok 20 150 38"},
        {"glued to a word: seito7" + good + "abc", "ok 20 150 38"},
        {arabic, "ok 20 150 38"},
        {"a zero-width space where a chat app broke the line: " + with(20, "\u200B"), "ok 20 150 38"},
        {"ー for hyphens, as an input method gives it: " + good.substr(0, 5) + "ー" + good.substr(6, 5) + "ー" + good.substr(12),
         "ok 20 150 38"},
        {codes::Encode({20, 32767, 1, "ABCDEFGH"}) + " " + codes::Encode({50, 10, 10, "ABCDEFGH"}), "ok 20 32767 1|ok 50 10 10"},
        {with(8, "9", 1), "refused the check character is wrong"},
        {codes::Encode({20, 10, 11, "ABCDEFGH"}), "refused more successes than experiments"},
        {codes::Encode({51, 10, 1, "ABCDEFGH"}), "refused N is outside 5 to 50"},
        {codes::Encode({20, 32768, 1, "ABCDEFGH"}), "refused more than 32767 experiments"},
        {codes::Encode({20, 0, 0, "ABCDEFGH"}), "refused no experiment"},
        {"M4-20-00150-00038-ABCDEFGH12", "refused an unknown version"},
        {codes::Encode({20, 150, 38, "ABCDEFGH", Prediction::Of(30)}) + " " +
         codes::Encode({20, 150, 38, "ABCDEFGH", Prediction::Of(0)}) + " " +
         codes::Encode({20, 150, 38, "ABCDEFGH", Prediction::Of(100)}) + " " +
         codes::Encode({20, 150, 38, "ABCDEFGH", Prediction::DontKnow()}),
         "ok 20 150 38 30％|ok 20 150 38 0％|ok 20 150 38 100％|ok 20 150 38 わからない"},
        {codes::Encode({20, 150, 38, "ABCDEFGH", Prediction::Of(101)}), "refused the prediction is outside 0 to 100 %"},
        {"「M1-」で始まるコードを送ってください M-1 MIX-1 SM1-20 " + good.substr(0, 20), ""},
        {"a code cut short: " + good.substr(0, good.size() - 1) + "。", ""},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [text, expected] = row;
        std::ostringstream seen;
        const char* between = "";
        for (const auto& found : codes::ReadCodes(text)) {
            seen << std::exchange(between, "|");
            if (found.accepted)
                seen << "ok " << found.series.shots << ' ' << found.series.experiments << ' ' << found.series.successes
                     << (found.series.prediction.kind == Prediction::Kind::None ? "" : " ")
                     << (found.series.prediction.kind == Prediction::Kind::None
                             ? std::string()
                             : PredictionText(found.series.prediction));
            else
                seen << "refused " << codes::ReasonEnglish(found.refusal);
        }
        CHECK_MESSAGE(seen.str() == row.second, row.first, " gives ", seen.str());
    }
}

// A text read in parts (a file read piece by piece) gives the codes the whole text gives,
// wherever it is cut, a character's bytes included.
TEST_CASE("ResultCodesInParts")
{
    const std::string text = "「M1-」 " + codes::Encode({22, 10, 9, "BBBBB"}) + "\nＭ２－" +
                             codes::Encode({20, 150, 38, "K7Q2XA9B"}).substr(3, 9) + "\n" +
                             codes::Encode({20, 150, 38, "K7Q2XA9B"}).substr(12) + " M4-1-2-3-4";
    std::vector<std::string> whole;
    for (const auto& found : codes::ReadCodes(text))
        whole.push_back(found.text);
    REQUIRE_EQ(whole.size(), 3U);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        std::vector<std::string> parts;
        codes::CodeReader reader;
        const auto keep = [&parts](codes::Candidate&& found) { parts.push_back(found.text); };
        reader.Read(std::string_view(text).substr(0, cut), keep);
        reader.Read(std::string_view(text).substr(cut), keep);
        reader.Finish(keep);
        CHECK_MESSAGE(parts == whole, "cut at ", cut);
    }
}

// The pool: a series is known by its id and N; a code replaces a kept series only as that series
// grown, and anything else under the same id and N is kept beside it as a conflict. Each row:
// the codes pasted, in order ("N experiments successes id"), and the pool that results.
TEST_CASE("PoolOfTheClass")
{
    // clang-format off
    const std::pair<std::vector<codes::Series>, std::string> rows[] = {
        {{{20, 30, 27, "AAAAA"}, {20, 30, 27, "AAAAA"}}, "20 30 27 AAAAA"},
        {{{20, 30, 27, "AAAAA"}, {20, 50, 44, "AAAAA"}, {20, 40, 35, "AAAAA"}}, "20 50 44 AAAAA"},
        {{{20, 30, 27, "AAAAA"}, {22, 50, 44, "AAAAA"}}, "20 30 27 AAAAA, 22 50 44 AAAAA"},
        {{{20, 30, 27, "AAAAA"}, {20, 40, 26, "AAAAA"}}, "20 30 27 AAAAA, 20 40 26 AAAAA (conflict)"},
        {{{20, 30, 27, "AAAAA"}, {20, 32, 30, "AAAAA"}}, "20 30 27 AAAAA, 20 32 30 AAAAA (conflict)"},
        {{{20, 30, 27, "AAAAA"}, {20, 30, 26, "AAAAA"}}, "20 30 26 AAAAA, 20 30 27 AAAAA (conflict)"},
        {{{20, 30, 27, "AAAAA"}, {20, 40, 26, "AAAAA"}, {20, 50, 36, "AAAAA"}}, "20 50 36 AAAAA"},
        {{{20, 10, 9, "AAAAAAAA"}, {20, 10, 9, "BBBBBBBB"}}, "20 10 9 AAAAAAAA, 20 10 9 BBBBBBBB"},
        {{{20, 30, 27, "AAAAAAAA", Prediction::Of(30)}, {20, 50, 44, "AAAAAAAA", Prediction::Of(30)}},
         "20 50 44 AAAAAAAA 30％"},
        {{{20, 30, 27, "AAAAAAAA", Prediction::DontKnow()}, {20, 50, 44, "AAAAAAAA", Prediction::Of(30)},
          {20, 60, 50, "AAAAAAAA"}},
         "20 50 44 AAAAAAAA 30％, 20 30 27 AAAAAAAA わからない, 20 60 50 AAAAAAAA (conflict)"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [pasted, expected] = row;
        std::string text;
        for (const codes::Series& series : pasted)
            text += codes::Encode(series) + "\n";
        // The same pool whatever the order the codes come in (two tabs, two pastes).
        std::vector<std::size_t> order(pasted.size());
        std::iota(order.begin(), order.end(), 0);
        do {
            classroom::Pool pool;
            for (std::size_t at : order)
                pool.Add(pasted[at]);
            std::string listed;
            for (const codes::Series& series : pool.Series())
                listed += (listed.empty() ? "" : ", ") + std::to_string(series.shots) + " " +
                          std::to_string(series.experiments) + " " + std::to_string(series.successes) + " " +
                          series.id + (series.prediction.kind == Prediction::Kind::None ? "" : " ") +
                          (series.prediction.kind == Prediction::Kind::None ? "" : PredictionText(series.prediction));
            if (!pool.Conflicts().empty())
                listed += " (conflict)";
            CHECK_MESSAGE(listed == row.second, text, " gives ", listed);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}
