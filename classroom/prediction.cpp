#include "classroom/prediction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "simulation/entry.h"
#include "simulation/number_text.h"
#include "simulation/theory.h"

namespace mokopera {

namespace {

constexpr int kMostPercent = 100;
constexpr int kNearPoints = 10;  // "near the theory": within this many percentage points

std::string Count(int count)
{
    return std::to_string(count) + " 件";
}

// A percentage as the summary writes it: 「35％」, 「32.5％」.
std::string PercentText(double percent)
{
    const bool whole = percent == std::floor(percent);
    char text[16];
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.1f", percent);
    return std::string(text) + "％";
}

}  // namespace

std::string PredictionQuestion(int shots)
{
    return std::to_string(shots) + " 回撃って、少なくとも１回当たる確率は何％くらいだと思いますか？";
}

std::optional<int> ReadPercent(std::string_view text)
{
    const std::string plain = ToHalfWidth(text);
    std::string_view number = plain;
    const auto trim = [&number] {
        while (!number.empty() && (number.front() == ' ' || number.front() == '\t'))
            number.remove_prefix(1);
        while (!number.empty() && (number.back() == ' ' || number.back() == '\t'))
            number.remove_suffix(1);
    };
    trim();
    for (const std::string_view sign : {"%", "％"}) {
        if (number.ends_with(sign))
            number.remove_suffix(sign.size());
    }
    trim();
    if (number.empty() || number.size() > 3 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int percent = 0;
    for (char c : number)
        percent = percent * 10 + (c - '0');
    if (percent > kMostPercent)
        return std::nullopt;
    return percent;
}

std::string PredictionText(const Prediction& prediction)
{
    switch (prediction.kind) {
    case Prediction::Kind::Percent:
        return std::to_string(prediction.percent) + "％";
    case Prediction::Kind::DontKnow:
        return "わからない";
    case Prediction::Kind::None:
        break;
    }
    return "なし";
}

std::string ComparisonSentence(const Prediction& prediction, int shots, long long experiments, long long successes)
{
    std::string sentence = "予想 ";
    sentence += PredictionText(prediction);
    sentence += "、実験 " + FormatRate(successes, experiments);
    sentence += "、理論 " + TheoryOf(shots).text;
    return sentence;
}

int LinearGuessPercent(int shots)
{
    return std::min(kMostPercent, 10 * shots);
}

PredictionSummary SummarizePredictions(int shots, std::span<const Prediction> predictions)
{
    PredictionSummary summary;
    summary.shots = shots;
    const double theory = 100 * TheoryCurve(shots);
    std::vector<int> percents;
    for (const Prediction& prediction : predictions) {
        if (prediction.kind == Prediction::Kind::None) {
            ++summary.none;
        } else if (prediction.kind == Prediction::Kind::DontKnow) {
            ++summary.dontKnow;
        } else {
            percents.push_back(prediction.percent);
            summary.nearTheory += std::fabs(prediction.percent - theory) <= kNearPoints ? 1 : 0;
            summary.linearOrAbove += prediction.percent >= LinearGuessPercent(shots) ? 1 : 0;
        }
    }
    summary.predicted = static_cast<int>(percents.size());
    if (!percents.empty()) {
        std::sort(percents.begin(), percents.end());
        const std::size_t middle = percents.size() / 2;
        summary.median = percents.size() % 2 ? percents[middle] : (percents[middle - 1] + percents[middle]) / 2.0;
    }
    return summary;
}

std::string PredictionSummaryText(const PredictionSummary& summary)
{
    std::string text = "N = " + std::to_string(summary.shots) + "：予想 " + Count(summary.predicted);
    if (summary.median)
        text += "（理論 " + PercentText(std::round(1000 * TheoryCurve(summary.shots)) / 10) + " の±10ポイント以内 " +
                Count(summary.nearTheory) + "、１回 10％ずつ足した値 " +
                PercentText(LinearGuessPercent(summary.shots)) + " 以上 " + Count(summary.linearOrAbove) +
                "、予想の中央値 " + PercentText(summary.median.value_or(0)) + "）";
    text += "、わからない " + Count(summary.dontKnow) + "、予想なし " + Count(summary.none) + "。";
    return text;
}

}  // namespace mokopera
