#include "sim/options.h"

#include <charconv>
#include <utility>

#include "simulation/entry.h"
#include "simulation/rules.h"

namespace mokopera::sim {

namespace {

template <typename Number>
bool ReadWhole(const std::string& text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, std::string_view from, std::string_view to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string{} : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A number written with its digits in groups of three, "10,000" or "10 000", joined; any other text
// as it is.
std::string Ungrouped(const std::string& text)
{
    const std::size_t head = text.size() % 4;  // the digits before the first separator
    if (text.size() < 5 || head == 0 || (text[head] != ',' && text[head] != ' '))
        return text;
    std::string digits;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool separator = at >= head && (at - head) % 4 == 0;
        if (separator ? text[at] != text[head] : (text[at] < '0' || text[at] > '9'))
            return text;
        if (!separator)
            digits += text[at];
    }
    return digits;
}

// A value as a teacher may write it, in the form the options take: full-width digits, dots,
// signs and spaces read as ASCII (as the program's entry box reads them), no-break and thin
// spaces as spaces, the spaces around the value and around a range's dots dropped, a range
// written 5〜50, 5～50 or 5‥50 as 5..50, and digits in groups of three joined.
std::string Plain(const std::string& text)
{
    std::string plain = ToHalfWidth(text);
    for (const auto& [from, to] : {std::pair{"\u00A0", " "},
                                   {"\u2009", " "},
                                   {"\u202F", " "},
                                   {"\uFF0C", ","},
                                   {"\u301C", ".."},
                                   {"\uFF5E", ".."},
                                   {"\u2025", ".."}})
        plain = Replaced(std::move(plain), from, to);
    const auto dots = plain.find("..");
    if (dots == std::string::npos)
        return Ungrouped(Trimmed(plain));
    return Ungrouped(Trimmed(plain.substr(0, dots))) + ".." + Ungrouped(Trimmed(plain.substr(dots + 2)));
}

ArgumentError Error(const std::string& japanese, const std::string& english, const std::string& option = {})
{
    return {japanese + "\n" + english, option};
}

ArgumentError UnknownOption(const std::string& option)
{
    return Error("知らないオプションです: " + option + "（--help で使い方を表示）",
                 "unknown option: " + option + " (see --help)");
}

std::optional<ArgumentError> ReadShots(const std::string& text, Options& options)
{
    const std::string plain = Plain(text);
    const auto dots = plain.find("..");
    const std::string first = dots == std::string::npos ? plain : plain.substr(0, dots);
    const std::string last = dots == std::string::npos ? plain : plain.substr(dots + 2);
    if (!ReadWhole(first, options.firstShots) || !ReadWhole(last, options.lastShots) ||
        options.firstShots < rules::kFewestShots || options.lastShots > rules::kMostShots ||
        options.firstShots > options.lastShots)
        return Error("-n には５以上５０以下の整数か、5..50 のような範囲を指定してください: " + text,
                     "-n takes a whole number from 5 to 50, or a range such as 5..50: " + text, "-n");
    return std::nullopt;
}

}  // namespace

std::optional<ArgumentError> ReadValue(const std::string& option, const std::string& text, Options& options)
{
    if (option == "-n")
        return ReadShots(text, options);
    if (option == "-e") {
        if (!ReadWhole(Plain(text), options.experiments) || options.experiments < 1 ||
            options.experiments > kMostExperiments)
            return Error("-e には１以上 10000000 以下の整数を指定してください: " + text,
                         "-e takes a whole number from 1 to 10000000: " + text, option);
    } else if (option == "--seed") {
        std::uint64_t seed = 0;
        if (!ReadWhole(Plain(text), seed))
            return Error("--seed には０以上の整数を指定してください: " + text,
                         "--seed takes a whole number of zero or more: " + text, option);
        options.seed = seed;
    } else if (option == "--pool") {
        if (text.empty())
            return Error("--pool にファイル名か - を指定してください", "--pool needs a file name or -", option);
        options.poolPath = text;
    } else if (option == "--plot") {
        if (text.empty())
            return Error("--plot にファイル名を指定してください", "--plot needs a file name", option);
        options.plotPath = text;
    } else {
        return UnknownOption(option);
    }
    return std::nullopt;
}

std::variant<Options, ArgumentError> ParseArguments(const std::vector<std::string>& arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // An option's value never looks like an option itself: "--plot --csv" is a missing file
        // name, not a plot called "--csv".
        auto value = [&]() -> const std::string* {
            if (i + 1 >= arguments.size() || (arguments[i + 1].size() > 1 && arguments[i + 1][0] == '-'))
                return nullptr;
            return &arguments[++i];
        };
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--csv") {
            options.csv = true;
        } else if (argument == "-n" || argument == "-e" || argument == "--seed" || argument == "--plot" ||
                   argument == "--pool") {
            const std::string* text = value();
            if (!text)
                return Error(argument + " の後に値がありません", argument + " needs a value", argument);
            if (auto error = ReadValue(argument, *text, options))
                return *error;
            options.batchGiven = options.batchGiven || (argument != "--plot" && argument != "--pool");
        } else {
            return UnknownOption(argument);
        }
    }
    if (!options.poolPath.empty() && options.batchGiven)
        return Error("--pool は -n、-e、--seed と一緒には使えません", "--pool takes no -n, -e or --seed", "--pool");
    return options;
}

std::string HelpText()
{
    return "使い方: mokopera-sim [-n N | -n 5..50] [-e 実験回数] [--seed S] [--csv] [--plot ファイル.svg]\n"
           "       mokopera-sim --pool ファイル [--csv] [--plot ファイル.svg]\n"
           "１０回に１回命中する腕前で N 回撃つ実験を何度も行い、少なくとも１回当たる割合（実験的確率）と\n"
           "理論上の確率 1 − 0.9^N を比べます。\n"
           "  -n N | -n A..B   １回の実験で撃つ回数（５〜５０、既定 20）。範囲なら各 N について実験します\n"
           "  -e 実験回数      N ごとの実験回数（１〜10000000、既定 1000）\n"
           "  --seed S         乱数の種。同じ種なら同じ結果になります（省略時は時刻から決め、表示します）\n"
           "  --csv            表を CSV（RFC 4180、UTF-8、見出し行つき）で標準出力に書きます\n"
           "  --plot F.svg     実験的確率の収束（範囲なら N ごとの比較）を SVG の図に描きます\n"
           "  --pool F         生徒の結果のコード（M3-…、M2-…、M1-…）を F（- なら標準入力。UTF-8、UTF-16、\n"
           "                   CP932）から読み、N ごとに合計します。予想があれば予想と結果も。読めないコードと\n"
           "                   食い違う結果は標準エラー出力へ\n"
           "終了ステータス: 成功 0、実行できない 1、引数の誤り・書き込めない出力・読めないファイル・メモリー不足 2、\n"
           "--pool に読めるコードがない 3、中断（Ctrl-C）130\n"
           "\n"
           "Usage: mokopera-sim [-n N | -n 5..50] [-e EXPERIMENTS] [--seed S] [--csv] [--plot FILE.svg]\n"
           "       mokopera-sim --pool FILE [--csv] [--plot FILE.svg]\n"
           "Runs the experiment of N shots at one hit in ten many times and compares the share of\n"
           "experiments with at least one hit with the theoretical 1 − 0.9^N.\n"
           "  -n N | -n A..B   shots per experiment, 5 to 50 (default 20); a range runs every N in it\n"
           "  -e EXPERIMENTS   experiments for each N, 1 to 10000000 (default 1000)\n"
           "  --seed S         random seed; the same seed gives the same figures (default: from the\n"
           "                   clock, and printed so that the run can be repeated)\n"
           "  --csv            write the table as CSV (RFC 4180, UTF-8, with a header row)\n"
           "  --plot F.svg     draw the convergence (for a range: every N against the theory) as SVG\n"
           "  --pool F         read the class's result codes (M3-…, M2-…, M1-…) from F (- for standard\n"
           "                   input; UTF-8, UTF-16 or CP932) and pool them for each N, with the\n"
           "                   students' predictions where they were asked; codes that cannot be\n"
           "                   read and results that conflict are named on stderr\n"
           "\n"
           "The simulated clock fires one shot every 0.1 s, as the program's automatic firing does.\n"
           "Exit status: 0 on success; 1 when the run cannot be carried out; 2 for bad arguments, an output\n"
           "that cannot be written, a --pool file that cannot be read or a pool larger than the memory; 3\n"
           "for a --pool file with no code that can be read; 130 when interrupted (Ctrl-C). Only a regular\n"
           "file is replaced by --plot, and it keeps its permissions.\n";
}

}  // namespace mokopera::sim
